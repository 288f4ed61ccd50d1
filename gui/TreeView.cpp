#include "gui/TreeView.h"

#include <algorithm>
#include <cstring>

#include "gui/Exception.h"
#include "gui/Font.h"
#include "gui/Text.h"

namespace gui {

namespace {
[[noreturn]] void OutOfBounds(int index) {
    throw Exception("List index out of bounds (" + IntToStr(index) + ")");
}

bool Contains(const TreeNode* root, const TreeNode* node) {
    for (const TreeNode* n = node; n != nullptr; n = n->Parent())
        if (n == root) return true;
    return false;
}
} // namespace

// --- nodes --------------------------------------------------------------------------

void TreeNode::SetText(const std::string& text) {
    text_ = text;
    if (item_ == nullptr) return;
    std::wstring wide = Utf8ToWide(text);
    TVITEMW tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item_;
    tv.pszText = wide.data();
    owner_->SendToWindow(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
}

TreeNode* TreeNode::Item(int index) const {
    if (index < 0 || index >= Count()) OutOfBounds(index);
    return children_[static_cast<size_t>(index)].get();
}

bool TreeNode::Expanded() const {
    if (item_ == nullptr) return expanded_;
    const auto state = owner_->SendToWindow(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item_), TVIS_EXPANDED);
    return (state & TVIS_EXPANDED) != 0;
}

void TreeNode::Expand() {
    expanded_ = true;
    if (item_ != nullptr) owner_->SendToWindow(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item_));
}

void TreeNode::Collapse() {
    expanded_ = false;
    if (item_ != nullptr) owner_->SendToWindow(TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(item_));
}

// --- the tree -------------------------------------------------------------------------

TreeView::TreeView(Component* owner) : NativeControl(owner) {
    StoreBounds(0, 0, 121, 97);
}

TreeView::~TreeView() = default;

TreeNode* TreeView::AddChild(TreeNode* parent, const std::string& text) {
    auto& list = parent != nullptr ? parent->children_ : roots_;
    list.push_back(std::unique_ptr<TreeNode>(new TreeNode(this, parent, text)));
    TreeNode* node = list.back().get();
    if (HandleAllocated()) {
        InsertInWindow(node);
        // A node that was opened before it had children opens now.
        if (parent != nullptr && parent->expanded_ && parent->Count() == 1) parent->Expand();
    }
    return node;
}

void TreeView::DeleteNode(TreeNode* node) {
    if (node == nullptr) return;
    if (Contains(node, selected_)) selected_ = nullptr;
    if (node->item_ != nullptr) SendToWindow(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node->item_));
    auto& list = node->parent_ != nullptr ? node->parent_->children_ : roots_;
    list.erase(std::remove_if(list.begin(), list.end(), [node](const auto& n) { return n.get() == node; }),
               list.end());
}

void TreeView::ClearNodes() {
    selected_ = nullptr;
    SendToWindow(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    roots_.clear();
}

TreeNode* TreeView::TopItem(int index) const {
    if (index < 0 || index >= TopCount()) OutOfBounds(index);
    return roots_[static_cast<size_t>(index)].get();
}

void TreeView::SetSelected(TreeNode* node) {
    selected_ = node;
    if (HandleAllocated())
        SendToWindow(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node ? node->item_ : nullptr));
}

TreeNode* TreeView::NodeAt(POINT point) const {
    if (!HandleAllocated()) return nullptr;
    TVHITTESTINFO hit{};
    hit.pt = point;
    const auto item = reinterpret_cast<HTREEITEM>(
        const_cast<TreeView*>(this)->SendToWindow(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (item == nullptr) return nullptr;
    TVITEMW tv{};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    const_cast<TreeView*>(this)->SendToWindow(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    return reinterpret_cast<TreeNode*>(tv.lParam);
}

RECT TreeView::NodeRect(TreeNode* node) const {
    RECT r{0, 0, 0, 0};
    if (!HandleAllocated() || node == nullptr || node->item_ == nullptr) return r;
    // The message takes the item in the rectangle's place.
    std::memcpy(&r, &node->item_, sizeof node->item_);
    if (!const_cast<TreeView*>(this)->SendToWindow(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)))
        return RECT{0, 0, 0, 0};
    return r;
}

void TreeView::CreateParamsFor(CreateParams& params) {
    NativeControl::CreateParamsFor(params);
    params.ClassName = L"NimbreTreeView";
    params.BaseClassName = WC_TREEVIEWW;
    params.Style |= TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
}

void TreeView::InsertInWindow(TreeNode* node) {
    std::wstring text = Utf8ToWide(node->text_);
    TVINSERTSTRUCTW insert{};
    insert.hParent = node->parent_ != nullptr ? node->parent_->item_ : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = text.data();
    insert.item.lParam = reinterpret_cast<LPARAM>(node);
    node->item_ =
        reinterpret_cast<HTREEITEM>(SendToWindow(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    for (auto& child : node->children_)
        InsertInWindow(child.get());
    if (node->expanded_ && !node->children_.empty()) node->Expand();
}

void TreeView::ForgetItems(std::vector<std::unique_ptr<TreeNode>>& nodes) {
    for (auto& node : nodes) {
        node->item_ = nullptr;
        ForgetItems(node->children_);
    }
}

void TreeView::SetColors() {
    SendToWindow(TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
    SendToWindow(TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Font().Color())));
}

void TreeView::CreateHandle() {
    NativeControl::CreateHandle();
    SetColors();
    ForgetItems(roots_);
    for (auto& root : roots_)
        InsertInWindow(root.get());
    if (selected_ != nullptr) SetSelected(selected_);
}

void TreeView::WndProc(Message& msg) {
    switch (msg.Msg) {
    case CN_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(msg.LParam);
        const auto* tree = reinterpret_cast<const NMTREEVIEWW*>(msg.LParam);
        msg.Result = 0;
        switch (header->code) {
        case TVN_SELCHANGEDW:
        case TVN_SELCHANGEDA:
            selected_ = reinterpret_cast<TreeNode*>(tree->itemNew.lParam);
            if (OnChange) OnChange(this, selected_);
            return;
        case TVN_ITEMEXPANDEDW:
        case TVN_ITEMEXPANDEDA: {
            auto* node = reinterpret_cast<TreeNode*>(tree->itemNew.lParam);
            if (node == nullptr) return;
            node->expanded_ = (tree->action & TVE_EXPAND) != 0;
            if (node->expanded_ && OnExpanded) OnExpanded(this, node);
            if (!node->expanded_ && OnCollapsed) OnCollapsed(this, node);
            return;
        }
        default:
            return;
        }
    }
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
        NativeControl::WndProc(msg);
        SetColors();
        return;
    case WM_NCDESTROY:
        ForgetItems(roots_);
        NativeControl::WndProc(msg);
        return;
    default:
        NativeControl::WndProc(msg);
        return;
    }
}

} // namespace gui

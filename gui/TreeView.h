// Nodes in a hierarchy that open and close, over the platform's tree view.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/NativeControl.h"

namespace gui {

class TreeView;

// One node of a tree view; the tree view owns it.
class TreeNode {
  public:
    const std::string& Text() const { return text_; }
    void SetText(const std::string& text);
    TreeNode* Parent() const { return parent_; }
    int Count() const { return static_cast<int>(children_.size()); }
    TreeNode* Item(int index) const;
    // Open: the children show below the node.
    bool Expanded() const;
    void Expand();
    void Collapse();

  private:
    friend class TreeView;
    TreeNode(TreeView* owner, TreeNode* parent, const std::string& text)
        : owner_(owner), parent_(parent), text_(text) {}

    TreeView* owner_;
    TreeNode* parent_;
    std::string text_;
    std::vector<std::unique_ptr<TreeNode>> children_;
    HTREEITEM item_ = nullptr;
    bool expanded_ = false;
};

using TTVChangedEvent = std::function<void(Component* sender, TreeNode* node)>;

class TreeView : public NativeControl {
  public:
    // 121 x 97, buttons, lines and lines at the root.
    explicit TreeView(Component* owner);
    ~TreeView() override;

    // Appends a node under parent (nullptr: at the top level); returns it.
    TreeNode* AddChild(TreeNode* parent, const std::string& text);
    // Removes the node and everything under it.
    void DeleteNode(TreeNode* node);
    void ClearNodes();
    int TopCount() const { return static_cast<int>(roots_.size()); }
    TreeNode* TopItem(int index) const;
    // The selected node, or nullptr.
    TreeNode* Selected() const { return selected_; }
    void SetSelected(TreeNode* node);
    // The node under a point of the client area, or nullptr.
    TreeNode* NodeAt(POINT point) const;
    // Where the node's text lies in the client area (empty when it is not shown).
    RECT NodeRect(TreeNode* node) const;

    // The selection moved to node.
    TTVChangedEvent OnChange;
    // A node opened or closed.
    TTVChangedEvent OnExpanded;
    TTVChangedEvent OnCollapsed;

  protected:
    void CreateParamsFor(CreateParams& params) override;
    void CreateHandle() override;
    void WndProc(Message& msg) override;

  private:
    friend class TreeNode;
    void InsertInWindow(TreeNode* node);
    void ForgetItems(std::vector<std::unique_ptr<TreeNode>>& nodes);
    void SetColors();

    std::vector<std::unique_ptr<TreeNode>> roots_;
    TreeNode* selected_ = nullptr;
};

} // namespace gui

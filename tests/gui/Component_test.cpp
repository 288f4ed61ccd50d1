#include "gui/Component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records what happens to it in a shared log.
class Probe : public gui::Component {
 public:
  Probe(gui::Component* owner, std::string name, std::vector<std::string>& log)
      : Component(owner), log_(log) {
    SetName(std::move(name));
  }
  ~Probe() override { log_.push_back("delete " + Name()); }

  bool loadingSeen = false;

 protected:
  void Notification(gui::Component* c, gui::TOperation op) override {
    Component::Notification(c, op);
    if (op == gui::opRemove && c != this) log_.push_back(Name() + " saw " + c->Name() + " go");
  }
  void Loaded() override {
    loadingSeen = IsLoading();
    Component::Loaded();
    log_.push_back("loaded " + Name());
  }

 private:
  std::vector<std::string>& log_;
};

TEST(Component, OwnerDeletesWhatItOwnsNewestFirst) {
  std::vector<std::string> log;
  auto* root = new Probe(nullptr, "root", log);
  new Probe(root, "a", log);
  new Probe(root, "b", log);
  new Probe(root, "c", log);
  EXPECT_EQ(root->ComponentCount(), 3);
  log.clear();
  delete root;
  std::vector<std::string> deletes;
  for (const auto& line : log)
    if (line.rfind("delete", 0) == 0 && line != "delete root") deletes.push_back(line);
  EXPECT_EQ(deletes, (std::vector<std::string>{"delete c", "delete b", "delete a"}));
}

TEST(Component, TellsTheOwnerAndTheOtherComponentsWhenOneGoes) {
  std::vector<std::string> log;
  Probe root(nullptr, "root", log);
  new Probe(&root, "a", log);
  auto* b = new Probe(&root, "b", log);
  new Probe(&root, "c", log);
  log.clear();
  delete b;
  EXPECT_EQ(root.ComponentCount(), 2);
  EXPECT_EQ(root.FindComponent("b"), nullptr);
  EXPECT_NE(std::find(log.begin(), log.end(), "root saw b go"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "a saw b go"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "c saw b go"), log.end());
}

TEST(Component, EndLoadingRunsLoadedInCreationOrderThenTheRoot) {
  std::vector<std::string> log;
  Probe root(nullptr, "root", log);
  root.BeginLoading();
  auto* a = new Probe(&root, "a", log);
  auto* b = new Probe(&root, "b", log);
  EXPECT_TRUE(a->IsLoading()) << "created while the owner loads";
  root.EndLoading();
  EXPECT_EQ(log, (std::vector<std::string>{"loaded a", "loaded b", "loaded root"}));
  EXPECT_TRUE(a->loadingSeen);
  EXPECT_FALSE(a->IsLoading());
  EXPECT_FALSE(b->IsLoading());
  EXPECT_FALSE(root.IsLoading());
}

TEST(Component, DesigningFlagReachesOwnedComponentsAndNewOnes) {
  std::vector<std::string> log;
  Probe root(nullptr, "root", log);
  auto* a = new Probe(&root, "a", log);
  root.SetDesigning(true);
  EXPECT_TRUE(a->IsDesigning());
  auto* b = new Probe(&root, "b", log);
  EXPECT_TRUE(b->IsDesigning());
  EXPECT_EQ(root.ComponentState() & gui::csDesigning, gui::csDesigning);
}

TEST(Component, MovingToAnotherOwner) {
  std::vector<std::string> log;
  Probe first(nullptr, "first", log);
  Probe second(nullptr, "second", log);
  auto* a = new Probe(&first, "a", log);
  a->SetTag(42);
  second.InsertComponent(a);
  EXPECT_EQ(a->Owner(), &second);
  EXPECT_EQ(first.ComponentCount(), 0);
  EXPECT_EQ(second.FindComponent("a"), a);
  EXPECT_EQ(a->Tag(), 42);
}

}  // namespace

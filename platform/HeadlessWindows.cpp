// Recording windows and controls for tests.
#include "platform/HeadlessWindows.h"

#include "engine/base/Exception.h"

namespace ukh::platform {

namespace {

class THeadlessControl : public IControl {
 public:
  THeadlessControl(const TControlLayout& layout, std::vector<std::string>& log)
      : FName(layout.Name), FCaption(layout.Caption), FLog(log) {}
  const std::string& Name() const override { return FName; }
  const std::string& Caption() const override { return FCaption; }
  void SetCaption(const std::string& caption) override {
    FCaption = caption;
    FLog.push_back("caption " + FName + " " + caption);
  }
  bool Visible() const override { return FVisible; }
  void SetVisible(bool visible) override {
    FVisible = visible;
    FLog.push_back("visible " + FName + (visible ? " 1" : " 0"));
  }

 private:
  std::string FName, FCaption;
  bool FVisible = true;
  std::vector<std::string>& FLog;
};

class THeadlessWindow : public IWindow {
 public:
  THeadlessWindow(const TWindowLayout& layout, std::vector<std::string>& log)
      : FName(layout.Name), FCaption(layout.Caption), FVisible(layout.Visible), FLog(log) {
    for (const TControlLayout& c : layout.Controls)
      FControls.push_back(std::make_unique<THeadlessControl>(c, log));
  }
  const std::string& Name() const override { return FName; }
  void Show() override {
    FVisible = true;
    FLog.push_back("show " + FName);
  }
  void Hide() override {
    FVisible = false;
    FLog.push_back("hide " + FName);
  }
  bool Visible() const override { return FVisible; }
  const std::string& Caption() const override { return FCaption; }
  IControl& Control(const std::string& name) override {
    for (auto& c : FControls)
      if (c->Name() == name) return *c;
    throw Exception("Window " + FName + " has no control " + name);
  }

 private:
  std::string FName, FCaption;
  bool FVisible;
  std::vector<std::string>& FLog;
  std::vector<std::unique_ptr<THeadlessControl>> FControls;
};

}  // namespace

IWindow& THeadlessWindowSystem::CreateWindow(const TWindowLayout& layout) {
  Windows.push_back(std::make_unique<THeadlessWindow>(layout, Log));
  Log.push_back("create " + layout.Name);
  return *Windows.back();
}

void THeadlessWindowSystem::Exit(int status) {
  throw THeadlessExit{status};
}

IWindow* THeadlessWindowSystem::Find(const std::string& name) {
  for (auto& w : Windows)
    if (w->Name() == name) return w.get();
  return nullptr;
}

std::vector<std::string> THeadlessWindowSystem::VisibleWindows() const {
  std::vector<std::string> names;
  for (auto& w : Windows)
    if (w->Visible()) names.push_back(w->Name());
  return names;
}

}  // namespace ukh::platform

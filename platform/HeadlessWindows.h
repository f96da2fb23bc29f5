// A window system without a display: windows and controls keep their state and every show,
// hide and caption change is recorded in order, so tests can follow the window flow.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Windows.h"

namespace ukh::platform {

// Thrown by THeadlessWindowSystem::Exit in place of ending the process.
struct THeadlessExit {
  int Status;
};

class THeadlessWindowSystem : public IWindowSystem {
 public:
  void SetApplicationTitle(const std::string& title) override { Title = title; }
  IWindow& CreateWindow(const TWindowLayout& layout) override;
  [[noreturn]] void Exit(int status) override;

  IWindow* Find(const std::string& name);
  // Names of the windows visible now, in creation order.
  std::vector<std::string> VisibleWindows() const;

  std::string Title;
  // "show TForm2", "hide TForm1", "caption SpeedText 60", "visible Button2 0", ...
  std::vector<std::string> Log;
  std::vector<std::unique_ptr<IWindow>> Windows;
};

}  // namespace ukh::platform

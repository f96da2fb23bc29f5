// IMessageBox: a modal notice with one button, as the error report shows it.
#pragma once

#include <string>

namespace ukh::platform {

class IMessageBox {
 public:
  virtual ~IMessageBox() = default;
  virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace ukh::platform

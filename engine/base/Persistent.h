// TPersistent: the common root of everything that can be the sender of a change notification.
#pragma once

namespace ukh {

class TPersistent {
 public:
  TPersistent() = default;
  virtual ~TPersistent() = default;
  TPersistent(const TPersistent&) = delete;
  TPersistent& operator=(const TPersistent&) = delete;
};

}  // namespace ukh

#include "platform/os.h"

namespace bk {

namespace {
Os installed;
}  // namespace

Os& os() {
  return installed;
}

void InstallOs(const Os& implementation) {
  installed = implementation;
}

}  // namespace bk

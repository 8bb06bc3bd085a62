#include "attribute_manager.h"

namespace attribute_manager {

bool SetByName(BaseList2D* /*node*/, const std::string& assignment, std::string& error) {
  error = "cannot set \"" + assignment + "\": parameter names arrive with the descriptions";
  return false;
}

}  // namespace attribute_manager

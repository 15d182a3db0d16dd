#include "extract/Registration.h"

namespace moxtrel {

// Filled in with the registry store.
void RegisterTexturePack(int, const std::string&) {}

}  // namespace moxtrel

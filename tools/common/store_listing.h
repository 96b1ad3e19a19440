// The text listing of a store printed by `corvane-epg store`: services with
// their identifying fields and names, then every stored section slot.
#pragma once

#include <string>

#include "store/epg_store.h"

namespace corvane {

std::string storeListing(const EpgStore& store);

}  // namespace corvane

#include "desktop/settings_store.h"

namespace pelmoa {

std::unique_ptr<SettingsStore> MakeUserSettingsStore() { return std::make_unique<QSettingsStore>(); }

}  // namespace pelmoa

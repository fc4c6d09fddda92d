#pragma once

// The harvest core: one run over one page, without any window.

#include <string>

#include "harvest/run_host.h"
#include "harvest/transfer.h"

namespace pelmoa {

// One complete run: fetch the page through host.NetWWW(), harvest its frames or its images
// into folder, report through host. Returns when the page and every frame below it are done.
void HarvestPage(const std::string& address, const std::string& folder, RunHost& host);

}  // namespace pelmoa

#pragma once

#include <string>
#include <string_view>

namespace pelmoa {

// Before the page is fetched: spaces removed, "http://" put in front unless the address
// begins with exactly "http://" or "https://".
std::string NormalisePageAddress(std::string_view typed);

// After the page is fetched: "/" appended when the document path is empty or names a
// directory without a trailing slash (no '.'), except for an address holding '?', which
// names a script's page.
std::string CompletePageAddress(std::string address, std::string_view document_path);

// The path part of an address after its host, without query or fragment: "" for a bare host.
std::string DocumentPathOf(std::string_view url);

}  // namespace pelmoa

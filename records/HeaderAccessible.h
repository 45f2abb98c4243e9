#pragma once

namespace dvl {

// A records list's column header reads as its named sections; once per process.
void InstallHeaderAccessibility();

} // namespace dvl

#!/usr/bin/env bash
# Debian's build flags, as every package of the distribution is built with
# them (hardening, paths mapped to the checkout), one CMake argument a line;
# nothing without dpkg-buildflags. The package build, the player's build and
# the benchmarks take them. They are given at each configure, so that a build
# directory made before takes them too. CMake reads no CPPFLAGS: they go with
# the compiler's flags, as debhelper does. hardening=+all adds immediate
# binding, which Debian leaves out by default; Debian 12's dpkg knows neither
# stack clash nor control-flow protection, which 13 gives: added where missing.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.." # the paths are mapped from here
command -v dpkg-buildflags >/dev/null 2>&1 || exit 0
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxx="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
case " $cxx " in
*" -fstack-clash-protection "*) ;;
*) cxx+=" -fstack-clash-protection" ;;
esac
case "$(dpkg-architecture -qDEB_HOST_ARCH 2>/dev/null):$cxx " in
amd64:*" -fcf-protection "* | i386:*" -fcf-protection "*) ;;
amd64:* | i386:*) cxx+=" -fcf-protection" ;;
esac
printf '%s\n' "-DCMAKE_CXX_FLAGS=$cxx" "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)"

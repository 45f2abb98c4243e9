# The Debian package: `cpack -G DEB` in a release build (dvoyliki.sh package).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dvoyliki)
set(CPACK_PACKAGE_VENDOR "Команда «Двойлики»")
set(CPACK_PACKAGE_CONTACT "Команда «Двойлики» <dvoyliki@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "memory card game: find the pairs among cards face down")
# One paragraph of the control file's description: CPack indents each line.
set(CPACK_PACKAGE_DESCRIPTION
    "Twenty-four cards lie face down on a black board; they hold twelve pairs
of pictures. Turn two cards per go: a matching pair vanishes, a wrong pair
folds shut again. Clear the board in as few clicks as you can; the ten best
scores are kept in a records table. The pictures come from skins, which the
dvoyliki-skin tool makes from any pictures. The interface is in Russian.")
# Installed paths are relative to the prefix (the launcher finds the game
# beside itself), so the package's prefix need not be the build's.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageStrip.cmake)
set(CPACK_DVL_OBJCOPY ${CMAKE_OBJCOPY})
set(CPACK_DVL_PROGRAMS usr/${DVL_INSTALL_GAMESDIR}/dvoyliki usr/${CMAKE_INSTALL_BINDIR}/dvoyliki-skin)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The game's look is drawn for Liberation Sans; DejaVu Sans is its fallback.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2 | fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)

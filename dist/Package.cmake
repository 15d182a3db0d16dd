# The Debian package, made by `cpack --preset deb` after a release build
# (moxtrel_VERSION_ARCH.deb in build/release/). Its dependencies are
# computed from the programs by dpkg-shlibdeps.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME moxtrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Moxtrel developers")
set(CPACK_PACKAGE_CONTACT "${MOXTREL_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Debian's names and rules: moxtrel_1.10_amd64.deb, binaries without their
# debugging symbols, control files readable by all.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The main and Locate dialogs ask for Times New Roman; Liberation Serif has
# its metrics, so their texts fit as they do on Windows.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation)
# It makes graphics data for game editing; "games" is for games themselves.
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${MOXTREL_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${MOXTREL_HOMEPAGE}")
# The first line is the synopsis, the rest the extended description (cpack
# indents it; "." alone separates paragraphs).
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "texture package maker for level editors
Moxtrel turns the archives of an installed game (Quake, and Hexen II) into
one texture package for a level editor. It takes every map inside the game
directory's two archives, gathers each map's textures (each name once: the
first finding wins), writes them as one WAD2 file beside the archives and
registers the package in the level editor's texture-pack settings.
.
The window program, moxtrel, leads through three steps: choose the game,
find its directory (browse the drives or let it scan them), Begin.
moxtrel-cli does the same work from a terminal, searches the drives for the
game and lists the lumps of a package.")

include(CPack)

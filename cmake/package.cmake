# The Debian package: `cpack -G DEB` in a build directory makes koma_<version>_<arch>.deb from
# the install rules, so whatever any target installs is packaged without being listed here.

set(KOMA_PACKAGE_MAINTAINER "koma developers <koma@example.org>"
    CACHE STRING "Maintainer field of the Debian package")
set(KOMA_HOMEPAGE "https://github.com/koma/koma" CACHE STRING "Home page of the project")

find_program(KOMA_GZIP gzip REQUIRED)

# Debian wants manual pages and changelogs compressed at the highest level and without a
# timestamp (-n), so that two builds of one version give the same bytes.
function(koma_gzip source output)
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${KOMA_GZIP}" -9nc "${source}" > "${output}"
    DEPENDS "${source}"
    COMMENT "Compressing ${source}")
endfunction()

set(koma_doc_dir "${CMAKE_BINARY_DIR}/doc")
file(MAKE_DIRECTORY "${koma_doc_dir}")
koma_gzip("${PROJECT_SOURCE_DIR}/man/koma.1" "${koma_doc_dir}/koma.1.gz")
koma_gzip("${PROJECT_SOURCE_DIR}/data/debian/changelog" "${koma_doc_dir}/changelog.gz")
add_custom_target(koma_docs ALL DEPENDS "${koma_doc_dir}/koma.1.gz" "${koma_doc_dir}/changelog.gz")

install(FILES "${koma_doc_dir}/koma.1.gz" DESTINATION share/man/man1)
install(FILES "${PROJECT_SOURCE_DIR}/data/io.github.koma.koma.metainfo.xml" DESTINATION share/metainfo)
install(FILES "${PROJECT_SOURCE_DIR}/data/debian/copyright" "${koma_doc_dir}/changelog.gz"
        DESTINATION share/doc/koma)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME koma)
set(CPACK_PACKAGE_VENDOR "koma developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${KOMA_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "make short frame animations out of still images")
# Lines of the long description stay under 80 columns, as dpkg shows them unwrapped.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "koma fills eleven image slots (a background, nine frame images and a"
  "foreground), takes a pattern of digits naming the frame shown at each step,"
  "places the frames on a stage with pixel-by-pixel nudges per step, previews"
  "the animation and exports it as numbered BMP or PNG files or as one animated"
  "GIF, APNG or WebP file."
  ""
  "The editing state is saved to .pst files, and the export command writes the"
  "animation of a state file from the command line, without a display.")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KOMA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KOMA_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The menu entry, the icon and the MIME type take effect through the triggers of
# desktop-file-utils and shared-mime-info; recommending them keeps them on small systems.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, xdg-utils")
# koma's own translations are built into the program; Qt's own (the buttons of message boxes,
# the colour dialog) come from Qt's translation package, in Japanese as in English.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")

include(CPack)

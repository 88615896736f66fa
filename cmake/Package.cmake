# `cpack -G DEB` in the build folder makes nikomaru_<version>_<arch>.deb: the program and its
# starter lists in /usr/lib/nikomaru, /usr/bin/nikomaru, the desktop entry, icons and metainfo.
set(CPACK_PACKAGE_NAME nikomaru)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})
set(CPACK_PACKAGE_VENDOR "${NIKOMARU_MAKER_NAME}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Japanese face emoticon (kaomoji) picker")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Nikomaru keeps your favourite Japanese face emoticons in a narrow window and"
  "copies the chosen one to the clipboard. A list editor moves faces between your"
  "list and a pool, creates, erases, reorders and imports them; the window can"
  "stay above all others.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${NIKOMARU_MAKER_NAME} <${NIKOMARU_MAKER_EMAIL}>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${NIKOMARU_MAKER_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Without a Japanese font every text draws as boxes; Qt's own dialogs speak Japanese with its translations.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

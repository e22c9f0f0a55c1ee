# The Windows packages (scripts/package-windows): a zip to unpack anywhere, and an installer
# made with NSIS that installs for the current user alone, without administrator rights, under
# %LOCALAPPDATA%\Programs\FF Name, with a Start-menu shortcut and an entry in "Installed apps".
# Both hold the folder that the script stages in the build folder: ffname.exe, the DLLs and Qt
# plugins it loads, and the licences of all of them.
if(NOT WIN32 OR NOT FFNAME_BUILD_APP)
  return()
endif()

set(FFNAME_WINDOWS_STAGE ${CMAKE_BINARY_DIR}/stage)
set(CPACK_INSTALL_CMAKE_PROJECTS "")
set(CPACK_INSTALLED_DIRECTORIES "${FFNAME_WINDOWS_STAGE};.")

set(CPACK_GENERATOR "ZIP;NSIS")
set(CPACK_PACKAGE_NAME ffname)
set(CPACK_PACKAGE_VENDOR "The FF Name authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ffname-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY "FF Name")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "create, rename and delete files and folders in one folder")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# Per generator: the installer's own file name (cmake/windows/package_names.cmake).
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/windows/package_names.cmake)

# The installer's script is the project's own (cmake/windows/NSIS.template.in): CPack's
# default one installs for all users, as administrator.
list(PREPEND CMAKE_MODULE_PATH ${PROJECT_SOURCE_DIR}/cmake/windows)
set(CPACK_NSIS_DISPLAY_NAME "FF Name")
set(CPACK_NSIS_PACKAGE_NAME "FF Name")
set(CPACK_NSIS_INSTALLED_ICON_NAME ffname.exe)
set(CPACK_NSIS_MUI_ICON ${CMAKE_BINARY_DIR}/app/ffname.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_BINARY_DIR}/app/ffname.ico)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")

include(CPack)

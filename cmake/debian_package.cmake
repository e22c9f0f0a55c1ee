# The Debian package (cpack -G DEB, or scripts/package-debian): the program, its desktop entry,
# icons and AppStream metadata under /usr. The libraries it needs become its Depends through
# dpkg-shlibdeps (packages dpkg-dev and file).
if(WIN32 OR NOT FFNAME_BUILD_APP)
  return()
endif()

# Debian's hardening, as dpkg-buildflags gives it to Debian's own packages (with bind-now, which
# it leaves out by default): stack protection, checked string and memory calls, read-only
# relocations bound at start. Every target gets it, so that the tests run the code that the
# package ships; its optimisation and debug flags are left out, since the build type sets
# those, and so are sanitizer builds, which do not go with the checked calls.
find_program(FFNAME_DPKG_BUILDFLAGS dpkg-buildflags)
if(FFNAME_DPKG_BUILDFLAGS AND NOT FFNAME_SANITIZE AND CMAKE_BUILD_TYPE MATCHES "Rel")
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
              ${FFNAME_DPKG_BUILDFLAGS} --get ${kind}
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}  # whose path -ffile-prefix-map takes out
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(O.*|g.*)$")
    if(kind STREQUAL LDFLAGS)
      target_link_options(ffname_common INTERFACE ${flags})
    else()
      target_compile_options(ffname_common INTERFACE ${flags})
    endif()
  endforeach()
endif()

# Qt's project setup gives installed programs a run path to libraries installed beside them; the
# program installs none, and a Debian package carries no run path.
set_property(TARGET ffname PROPERTY INSTALL_RPATH "")

set(FFNAME_DEB_MAINTAINER "FF Name maintainers <maintainers@ffname.invalid>"
    CACHE STRING "The Debian package's Maintainer field")

# The documents Debian asks of every package: the copyright, the changelog and the manual page,
# the last two compressed as Debian's tools do (gzip -9n: no name, no time stamp).
set(FFNAME_DEB_DOCS ${CMAKE_BINARY_DIR}/debian-docs)
configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/changelog.in ${FFNAME_DEB_DOCS}/changelog @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/app/ffname.1 ${FFNAME_DEB_DOCS}/ffname.1 @ONLY)
foreach(document changelog ffname.1)
  execute_process(COMMAND gzip -9nf ${document} WORKING_DIRECTORY ${FFNAME_DEB_DOCS}
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright ${FFNAME_DEB_DOCS}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${FFNAME_DEB_DOCS}/ffname.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Stripped as Debian's own packages are (dh_strip): without the compilers' notes either.
string(CONFIGURE [[
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND "@CMAKE_OBJCOPY@" --remove-section=.comment --remove-section=.note
                            "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/@CMAKE_INSTALL_BINDIR@/ffname"
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()]] strip_notes @ONLY)
install(CODE "${strip_notes}")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ffname)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${FFNAME_DEB_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "create, rename and delete files and folders in one folder")
# The long description's lines stay under 80 columns, as Debian's tools show them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "A small single-window utility for housekeeping in one folder at a time:\n"
    "pick a drive, a folder and a file in three linked lists, type a name, and\n"
    "create, rename or delete folders and files, delete all files of a folder,\n"
    "or rename them all to the name followed by 1, 2, 3... Files go to the\n"
    "Trash after a confirmation, or are deleted outright; captions switch\n"
    "between English and Russian.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Folders as Debian expects them, whatever the umask of the one who builds.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)

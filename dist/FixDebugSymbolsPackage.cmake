# Run by CPack after it has built the packages (CPACK_POST_BUILD_SCRIPTS).
# CPack 3.25 writes the debug-symbols package's md5sums with the absolute
# path of its own scratch folder, where dpkg --verify and debsums then look
# for the file, and leaves the package without a documentation folder. This
# rebuilds that package as Debian's own tools make one: md5sums relative to
# the root, the symbol file not executable, and the documentation folder a
# link to the main package's, which it depends on.
find_program(DPKG_DEB dpkg-deb REQUIRED)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "/([^/_]+)-dbgsym_[^/]*\\.ddeb$")
    continue()
  endif()
  set(main ${CMAKE_MATCH_1})
  set(root ${CPACK_TOPLEVEL_DIRECTORY}/dbgsym-fix)
  file(REMOVE_RECURSE ${root})
  execute_process(COMMAND ${DPKG_DEB} -R ${package} ${root} COMMAND_ERROR_IS_FATAL ANY)

  file(GLOB_RECURSE symbol_files LIST_DIRECTORIES false RELATIVE ${root} ${root}/usr/*)
  set(sums "")
  foreach(file IN LISTS symbol_files)
    file(CHMOD ${root}/${file} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    file(MD5 ${root}/${file} sum)
    string(APPEND sums "${sum}  ${file}\n")
  endforeach()
  file(WRITE ${root}/DEBIAN/md5sums "${sums}")

  file(MAKE_DIRECTORY ${root}/usr/share/doc)
  file(CREATE_LINK ${main} ${root}/usr/share/doc/${main}-dbgsym SYMBOLIC)
  # gzip, as CPack compresses its packages.
  execute_process(COMMAND ${DPKG_DEB} --root-owner-group -Zgzip -b ${root} ${package}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${root})
endforeach()

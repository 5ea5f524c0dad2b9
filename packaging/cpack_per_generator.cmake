# Read by CPack once for each generator: the tarball holds the portable folder, the
# Debian package the installed program under /usr.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_ORVEX_BUILD_DIR};OrvexChat;system;/")
else()
  set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_ORVEX_BUILD_DIR};OrvexChat;portable;/")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
endif()

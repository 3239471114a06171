# Installing the libraries as a CMake package: find_package(orlun_userMgr
# CONFIG) gives the same orlun:: targets a build in this tree links.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(ORLUN_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/orlun_userMgr)
set(ORLUN_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/orlun_userMgr)
# Installed libraries find each other, and a client finds them, beside it.
set(CMAKE_INSTALL_RPATH "$ORIGIN;$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")

# orlun_install(<target> <exported name> [EXCLUDE <header>...])
# Exports <target> as orlun::<exported name> and installs the headers of the
# current folder (all but the excluded, private ones) under
# include/orlun_userMgr/<exported name>, which becomes the target's include
# folder for installed use.
function(orlun_install target exportName)
    cmake_parse_arguments(ARG "" "" "EXCLUDE" ${ARGN})
    set_target_properties(${target} PROPERTIES EXPORT_NAME ${exportName})
    get_target_property(_type ${target} TYPE)
    set(_scope PUBLIC)
    if(_type STREQUAL "INTERFACE_LIBRARY")
        set(_scope INTERFACE)
    endif()
    target_include_directories(${target} ${_scope}
        $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}>
        $<INSTALL_INTERFACE:${ORLUN_INSTALL_INCLUDEDIR}/${exportName}>)

    file(GLOB _headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    foreach(_private ${ARG_EXCLUDE})
        list(REMOVE_ITEM _headers ${CMAKE_CURRENT_SOURCE_DIR}/${_private})
    endforeach()
    install(FILES ${_headers} DESTINATION ${ORLUN_INSTALL_INCLUDEDIR}/${exportName})
    install(TARGETS ${target} EXPORT orlun_userMgrTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()

# Called once, after every library was declared.
function(orlun_install_package)
    install(EXPORT orlun_userMgrTargets
        NAMESPACE orlun::
        FILE orlun_userMgrTargets.cmake
        DESTINATION ${ORLUN_INSTALL_CMAKEDIR})
    configure_package_config_file(
        ${PROJECT_SOURCE_DIR}/cmake/orlun_userMgrConfig.cmake.in
        ${PROJECT_BINARY_DIR}/orlun_userMgrConfig.cmake
        INSTALL_DESTINATION ${ORLUN_INSTALL_CMAKEDIR})
    write_basic_package_version_file(
        ${PROJECT_BINARY_DIR}/orlun_userMgrConfigVersion.cmake
        COMPATIBILITY SameMajorVersion)
    install(FILES
        ${PROJECT_BINARY_DIR}/orlun_userMgrConfig.cmake
        ${PROJECT_BINARY_DIR}/orlun_userMgrConfigVersion.cmake
        DESTINATION ${ORLUN_INSTALL_CMAKEDIR})
endfunction()

# tsl_windows_resources(TARGET DESCRIPTION): on Windows, gives the executable TARGET the
# program's icon, a version resource with DESCRIPTION, and the manifest (UTF-8 as the
# narrow code page). Elsewhere it does nothing.
function(tsl_windows_resources target description)
  if(NOT WIN32)
    return()
  endif()
  set(TSL_RC_NAME ${target})
  set(TSL_RC_DESCRIPTION "${description}")
  set(TSL_RC_ICON ${PROJECT_SOURCE_DIR}/packaging/windows/tsldemo.ico)
  set(TSL_RC_MANIFEST ${PROJECT_SOURCE_DIR}/packaging/windows/tsldemo.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/resources.rc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
endfunction()

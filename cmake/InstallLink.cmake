# tsl_install_bin_link(NAME): at install time, bin/NAME becomes a relative symbolic link to
# the executable NAME in the program's folder (TSL_INSTALL_DIR). The program finds its
# data beside its real file, so it works through the link.
# Windows has no such links: there the program's folder is all there is.
function(tsl_install_bin_link name)
  if(WIN32)
    return()
  endif()
  file(RELATIVE_PATH target /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${TSL_INSTALL_DIR}/${name})
  install(CODE "
    set(bin_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(MAKE_DIRECTORY \"\${bin_dir}\")
    message(STATUS \"Installing: \${bin_dir}/${name} -> ${target}\")
    file(CREATE_LINK \"${target}\" \"\${bin_dir}/${name}\" SYMBOLIC)
  ")
endfunction()

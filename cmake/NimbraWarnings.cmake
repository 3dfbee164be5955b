# The project's own code builds without a warning, and stays so: a new
# warning fails the build. Only the files the project writes get -Werror;
# code that moc, rcc and the QML compiler generate, and the Qt and system
# headers (included as system headers), warn without stopping anything.
#
# Sanitizer instrumentation changes GCC's flow analysis enough for it to
# report uninitialised values that cannot happen, so that build only warns.
if(NIMBRA_SANITIZE)
  set(nimbra_werror_default OFF)
else()
  set(nimbra_werror_default ON)
endif()
option(NIMBRA_WERROR "Treat warnings in the project's own sources as errors" ${nimbra_werror_default})

# nimbra_warnings(<target>): every warning of -Wall -Wextra, as errors unless
# NIMBRA_WERROR is off, for those of the target's sources that live in the
# source tree.
function(nimbra_warnings target)
  set(options -Wall -Wextra)
  if(NIMBRA_WERROR)
    list(APPEND options -Werror)
  endif()
  get_target_property(sources ${target} SOURCES)
  get_target_property(source_dir ${target} SOURCE_DIR)
  foreach(source IN LISTS sources)
    if(NOT source MATCHES "\\.cpp$")
      continue()
    endif()
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${source_dir} NORMALIZE OUTPUT_VARIABLE path)
    cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${path}" NORMALIZE own)
    cmake_path(IS_PREFIX PROJECT_BINARY_DIR "${path}" NORMALIZE generated)
    if(own AND NOT generated)
      set_property(SOURCE ${path} TARGET_DIRECTORY ${target} APPEND PROPERTY COMPILE_OPTIONS ${options})
    endif()
  endforeach()
endfunction()

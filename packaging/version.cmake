# Read by cpack as it makes the package. A rebuilt package must install over
# the one before it, and apt passes over a package whose version it already
# has; so the version carries the time its newest shipped file was made
# (2.5.0+20261210071500). Rebuilding with nothing changed keeps the version;
# a changed word list or program makes a newer one.
set(varin_stamp "")
foreach(file IN LISTS CPACK_VARIN_STAMPED_FILES)
  if(EXISTS "${file}")
    file(TIMESTAMP "${file}" time "%Y%m%d%H%M%S" UTC)
    if(time STRGREATER varin_stamp)
      set(varin_stamp "${time}")
    endif()
  endif()
endforeach()
if(varin_stamp)
  set(CPACK_PACKAGE_VERSION "${CPACK_PACKAGE_VERSION}+${varin_stamp}")
  set(CPACK_DEBIAN_PACKAGE_VERSION "${CPACK_PACKAGE_VERSION}")
endif()

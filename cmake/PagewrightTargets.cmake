# Sources are listed per folder, one level deep, so that a new class is one
# new pair of files and nothing below a folder (a build tree, say) is taken in.
function(pw_glob_sources out)
  set(result)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS
      "${CMAKE_SOURCE_DIR}/${dir}/*.cpp" "${CMAKE_SOURCE_DIR}/${dir}/*.h")
    list(APPEND result ${found})
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# Every source the layer check reads, so that it runs again when one changes.
pw_glob_sources(PW_ALL_SOURCES image services model render sitebuild publish qtsettings
                controls editor app app/dialogs app/inspector cli setup)

# sonarel_add_program(NAME RC_FILE MANIFEST [sources...]): a static, Unicode
# GUI program with the shared icon, written to the program folder.
function(sonarel_add_program name rc_file manifest)
  add_executable(${name} WIN32 ${ARGN} ${rc_file})
  if(MINGW)
    target_link_options(${name} PRIVATE -municode)  # wWinMain
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/win32/terminate_handler.cpp)
  endif()
  target_include_directories(${name} PRIVATE ${SONAREL_ARTWORK_DIR} ${SONAREL_GENERATED_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  add_dependencies(${name} sonarel_artwork)
  set_source_files_properties(${rc_file} PROPERTIES OBJECT_DEPENDS
    "${SONAREL_ARTWORK_DIR}/sonarel.ico;${CMAKE_CURRENT_SOURCE_DIR}/${manifest}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SONAREL_PROGRAM_DIR})
endfunction()

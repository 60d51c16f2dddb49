# pugixml from Debian: the installed libpugixml-dev natively; for a cross build
# (and for the fuzzers, which need its parser instrumented) the same version's
# source package, fetched at configure time and compiled here.
if(CMAKE_CROSSCOMPILING OR SONAREL_FUZZ)
  # One unpacked copy for every build tree below build/.
  set(SONAREL_PUGIXML_SOURCE ${PROJECT_SOURCE_DIR}/build/third_party/pugixml CACHE PATH
      "Debian's pugixml source, unpacked")
  if(NOT EXISTS ${SONAREL_PUGIXML_SOURCE}/src/pugixml.cpp)
    message(STATUS "Fetching Debian's pugixml source package")
    execute_process(
      COMMAND ${PROJECT_SOURCE_DIR}/scripts/fetch-pugixml-source.sh ${SONAREL_PUGIXML_SOURCE}
      RESULT_VARIABLE fetch_result)
    if(NOT fetch_result EQUAL 0)
      message(FATAL_ERROR "Could not fetch Debian's pugixml source package")
    endif()
  endif()
  add_library(sonarel_pugixml STATIC ${SONAREL_PUGIXML_SOURCE}/src/pugixml.cpp)
  target_include_directories(sonarel_pugixml SYSTEM PUBLIC ${SONAREL_PUGIXML_SOURCE}/src)
  # The programs use neither XPath nor the std::string and stream interfaces,
  # which pull the C++ stream and locale code into every program.
  target_compile_definitions(sonarel_pugixml PUBLIC PUGIXML_NO_XPATH PUGIXML_NO_STL PUGIXML_NO_EXCEPTIONS)
  add_library(sonarel::pugixml ALIAS sonarel_pugixml)
else()
  find_package(pugixml REQUIRED)
  add_library(sonarel::pugixml ALIAS pugixml::pugixml)
endif()

# vantrel_module(NAME DESCRIPTION text SOURCES files... PORTS functions...
#                [SIGNATURE sig] [VERSION x.y.z] [PANEL] [TESTS files...]
#                [LIBS libs...] [RESOURCES TYPE:ID:NAME:FILE...] [LABELS labels...]
#                [OUTPUT_DIR dir])
#
# Builds NAME.so into the module folder: hidden visibility, only the module
# exports and the named port functions exported, every symbol resolved at
# link time, and the resources embedded. TESTS become a test executable
# that loads the module through the host runtime; the label "concurrency"
# also runs it under ThreadSanitizer.
set(VANTREL_EXPORTS ZM_Init OpenElem CloseElem TerminateElem ShutDown LabelElem Panel
    SaveState SetState LoadComplete)

function(vantrel_module NAME)
  cmake_parse_arguments(M "PANEL" "DESCRIPTION;SIGNATURE;VERSION;SHORT;OUTPUT_DIR"
    "SOURCES;PORTS;TESTS;LIBS;RESOURCES;TEST_LIBS;LABELS" ${ARGN})
  if(NOT M_SIGNATURE)
    set(M_SIGNATURE "application/x-Vantrel-Module")
  endif()
  if(NOT M_VERSION)
    set(M_VERSION ${PROJECT_VERSION})
  endif()
  if(NOT M_OUTPUT_DIR)
    set(M_OUTPUT_DIR ${VANTREL_MODULE_OUTPUT})
  endif()
  if(NOT M_SHORT)
    set(M_SHORT ${NAME})
  endif()

  set(exports ${VANTREL_EXPORTS} ${M_PORTS})
  list(JOIN exports "; " export_list)
  set(version_script ${CMAKE_CURRENT_BINARY_DIR}/${NAME}.map)
  file(WRITE ${version_script} "{\n  global: ${export_list};\n  local: *;\n};\n")

  set(rsrc ${CMAKE_CURRENT_BINARY_DIR}/${NAME}_resources.cpp)
  set(rsrc_args)
  set(rsrc_deps)
  foreach(r ${M_RESOURCES})
    list(APPEND rsrc_args --resource ${r})
    string(REGEX REPLACE "^[^:]*:[^:]*:[^:]*:" "" rfile "${r}")
    list(APPEND rsrc_deps ${rfile})
  endforeach()
  add_custom_command(OUTPUT ${rsrc}
    COMMAND vtlrc --out ${rsrc} --signature ${M_SIGNATURE} --short ${M_SHORT}
            --long "${M_DESCRIPTION}" --version ${M_VERSION} ${rsrc_args}
    DEPENDS vtlrc ${rsrc_deps}
    COMMENT "Resources of ${NAME}")

  add_library(${NAME} MODULE ${M_SOURCES} ${rsrc})
  set_target_properties(${NAME} PROPERTIES
    PREFIX "" OUTPUT_NAME ${NAME}
    LIBRARY_OUTPUT_DIRECTORY ${M_OUTPUT_DIR}
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
    LINK_DEPENDS ${version_script})
  target_link_libraries(${NAME} PRIVATE vtlframework vtlplatform ${M_LIBS})
  if(M_PANEL)
    target_link_libraries(${NAME} PRIVATE vtlmdl)
  endif()
  target_link_options(${NAME} PRIVATE -Wl,-z,defs -Wl,--version-script=${version_script})
  if(M_OUTPUT_DIR STREQUAL VANTREL_MODULE_OUTPUT)
    set_property(GLOBAL APPEND PROPERTY VANTREL_MODULES ${NAME})
  endif()

  if(M_TESTS)
    add_executable(${NAME}Test ${M_TESTS})
    target_link_libraries(${NAME}Test PRIVATE vantrel_testing ${M_TEST_LIBS})
    add_dependencies(${NAME}Test ${NAME})
    add_test(NAME ${NAME} COMMAND ${NAME}Test)
    set_tests_properties(${NAME} PROPERTIES TIMEOUT 300 LABELS "module;${M_LABELS}")
  endif()
endfunction()

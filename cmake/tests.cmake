# Test layers. Natively: the engine, text and window-command tests under the
# sanitizers, and morvanectl as a process. Cross-built: the same tests plus
# the Win32 host, window, painting, icon and end-to-end tests, all run under
# Wine in a fresh prefix.

set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS "${GTEST_SOURCE_DIR}/CMakeLists.txt")
  message(FATAL_ERROR "GoogleTest sources not found in ${GTEST_SOURCE_DIR}; run tools/setup")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory("${GTEST_SOURCE_DIR}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)

# One test program per part, its tests in the folder of the same name under
# tests/; the user's clean home (test_home) serves them all.
add_executable(engine_tests
  tests/engine/test_home.cpp
  tests/engine/host_test.cpp
  tests/engine/status_test.cpp
  tests/engine/config_files_test.cpp
  tests/engine/own_files_model_test.cpp)
target_link_libraries(engine_tests PRIVATE morvane_engine morvane_warnings GTest::gtest_main)

add_executable(text_tests tests/text/catalogue_test.cpp)
target_link_libraries(text_tests PRIVATE morvane_text morvane_warnings GTest::gtest_main)

# The window's commands, natively too; under Wine also the window itself.
add_executable(window_tests
  tests/engine/test_home.cpp
  tests/window/recording_window.cpp
  tests/window/window_commands_test.cpp
  tests/window/sign_in_test.cpp
  tests/window/reset_test.cpp
  tests/window/faults_test.cpp)
target_link_libraries(window_tests PRIVATE morvane_window morvane_warnings GTest::gtest_main)

# The system's Python (3.11 has tomllib) checks written files with real
# parsers; preferred over shims on PATH, which start slowly.
find_program(MORVANE_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
find_program(MORVANE_PYTHON NAMES python3 REQUIRED)
foreach(test_program engine_tests window_tests)
  target_include_directories(${test_program} PRIVATE tests/engine tests/window)
  target_compile_definitions(${test_program} PRIVATE
    MORVANE_TEST_TOOLS_DIR="${CMAKE_SOURCE_DIR}/tests/tools" MORVANE_PYTHON="${MORVANE_PYTHON}")
endforeach()

if(NOT CMAKE_CROSSCOMPILING)
  include(GoogleTest)
  foreach(test_program engine_tests text_tests window_tests)
    gtest_discover_tests(${test_program} DISCOVERY_TIMEOUT 60)
  endforeach()
  # The Desktop filter against a real TOML reader, over generated configs.
  add_executable(desktop_filter tests/tools/desktop_filter.cpp)
  target_link_libraries(desktop_filter PRIVATE morvane_engine morvane_warnings)
  # morvanectl as a real process, natively.
  add_executable(morvanectl_tests tests/e2e/morvanectl_test.cpp tests/engine/test_home.cpp)
  target_include_directories(morvanectl_tests PRIVATE tests/engine)
  target_link_libraries(morvanectl_tests PRIVATE morvane_terminal morvane_warnings util
                                                 GTest::gtest_main)
  target_compile_definitions(morvanectl_tests PRIVATE MORVANECTL="$<TARGET_FILE:morvanectl>"
    MORVANE_TEST_TOOLS_DIR="${CMAKE_SOURCE_DIR}/tests/tools" MORVANE_PYTHON="${MORVANE_PYTHON}")
  add_dependencies(morvanectl_tests morvanectl)
  gtest_discover_tests(morvanectl_tests DISCOVERY_TIMEOUT 60)
  add_test(NAME desktop_filter_keeps_toml_valid
           COMMAND "${MORVANE_PYTHON}" "${CMAKE_SOURCE_DIR}/tests/tools/desktop_filter_property.py"
                   $<TARGET_FILE:desktop_filter>)
  # The Ansible collection's module, run by ansible-playbook, with morvanectl.
  add_test(NAME ansible_sign_in
           COMMAND "${CMAKE_SOURCE_DIR}/tests/e2e/ansible_sign_in" $<TARGET_FILE:morvanectl>)
  # doctor's verdict against what the real Codex client does, which
  # tools/setup installs here; skipped (77) without a network namespace, except in CI.
  set(MORVANE_CODEX_CLIENT "${CMAKE_SOURCE_DIR}/build/codex-client/node_modules/.bin/codex"
      CACHE FILEPATH "The Codex client 0.171.0 that the real_client test runs")
  add_test(NAME real_client COMMAND "${CMAKE_SOURCE_DIR}/tests/e2e/real_client"
                                    $<TARGET_FILE:morvanectl> "${MORVANE_CODEX_CLIENT}")
  set_tests_properties(real_client PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
  return()
endif()

# --- Under Wine ----------------------------------------------------------------
target_sources(engine_tests PRIVATE tests/engine/host_win32_test.cpp tests/engine/throwaway_profile.cpp)
target_sources(window_tests PRIVATE
  tests/window/window_test.cpp
  tests/window/paint_test.cpp
  tests/window/icon_test.cpp
  tests/window/ui_test_support.cpp
  tests/engine/throwaway_profile.cpp)
foreach(test_program engine_tests text_tests window_tests)
  target_link_options(${test_program} PRIVATE -static)
endforeach()
# The icon test reads the icon resource of morvane.exe, built beside it.
add_dependencies(window_tests morvane)

set(wine_prefix "${CMAKE_BINARY_DIR}/wineprefix")
set(wine_env
  "WINEPREFIX=${wine_prefix}" "WINEDEBUG=-all" "WINEDLLOVERRIDES=mscoree,mshtml=")
set_target_properties(engine_tests text_tests window_tests PROPERTIES
  CROSSCOMPILING_EMULATOR "${CMAKE_SOURCE_DIR}/tools/wine-run")

add_test(NAME wine_prefix_create COMMAND "${CMAKE_SOURCE_DIR}/tools/wine-prefix" create)
add_test(NAME wine_prefix_shutdown COMMAND "${CMAKE_SOURCE_DIR}/tools/wine-prefix" shutdown)
set_tests_properties(wine_prefix_create PROPERTIES FIXTURES_SETUP wine ENVIRONMENT "${wine_env}")
set_tests_properties(wine_prefix_shutdown PROPERTIES FIXTURES_CLEANUP wine ENVIRONMENT "${wine_env}")

add_test(NAME engine_tests_wine COMMAND engine_tests)
add_test(NAME text_tests_wine COMMAND text_tests)
add_test(NAME window_tests_wine COMMAND window_tests)
add_test(NAME end_to_end COMMAND "${CMAKE_SOURCE_DIR}/tests/e2e/run_e2e"
         $<TARGET_FILE:morvane> "${CMAKE_BINARY_DIR}/e2e-artefacts" "${MORVANE_API_BASE_URL}")
# A DLL of the name the program once imported, planted beside a copy of it.
add_library(planted_comctl32 SHARED tests/e2e/planted_dll/comctl32.cpp)
target_link_libraries(planted_comctl32 PRIVATE morvane_engine morvane_warnings)
set_target_properties(planted_comctl32 PROPERTIES OUTPUT_NAME comctl32 PREFIX ""
  LIBRARY_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/planted" RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/planted")
target_link_options(planted_comctl32 PRIVATE -static -s)
add_test(NAME planted_dll_is_never_loaded COMMAND "${CMAKE_SOURCE_DIR}/tests/e2e/planted_dll/run"
         $<TARGET_FILE:morvane> $<TARGET_FILE:planted_comctl32> "${CMAKE_BINARY_DIR}/planted-run")
# The shipped programs import only DLLs that Windows takes from its own folder.
add_test(NAME programs_import_known_dlls_only
         COMMAND "${CMAKE_SOURCE_DIR}/tools/check-imports" $<TARGET_FILE:morvane>
                 $<TARGET_FILE:morvanectl>)
add_test(NAME morvanectl_wine COMMAND "${CMAKE_SOURCE_DIR}/tests/e2e/morvanectl_wine"
         $<TARGET_FILE:morvanectl>)

foreach(wine_test engine_tests_wine text_tests_wine window_tests_wine end_to_end planted_dll_is_never_loaded
        morvanectl_wine)
  set_tests_properties(${wine_test} PROPERTIES
    FIXTURES_REQUIRED wine RESOURCE_LOCK wine_session ENVIRONMENT "${wine_env}" TIMEOUT 900)
endforeach()

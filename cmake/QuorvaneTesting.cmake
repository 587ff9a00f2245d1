# quorvane_add_test(<name> LABEL <unit|integration|ui|e2e> SOURCES <files...> LIBS <targets...> [TIMEOUT <s>]
#                   [LEAK_CHECKED])
# Each test gets its own HOME and XDG folders inside the build tree, so no test
# ever touches the developer's real log, settings or keyring. LEAK_CHECKED: in the sanitizer build the
# test also fails on memory still held at its exit (the preset leaves leak checks off: Qt Quick and
# several test fixtures keep memory to the end on purpose).
function(quorvane_add_test name)
  cmake_parse_arguments(T "LEAK_CHECKED" "LABEL;TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
  if(T_LEAK_CHECKED AND QUORVANE_SANITIZE)
    list(APPEND T_ENV "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1")
  endif()
  if(NOT T_LABEL)
    set(T_LABEL unit)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE quorvane_options Qt6::Test ${T_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set(home ${CMAKE_BINARY_DIR}/testhome/${name})
  set_tests_properties(${name} PROPERTIES
    LABELS ${T_LABEL}
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QTEST_DISABLE_STACK_DUMP=1;QT_QPA_PLATFORM=offscreen;DBUS_SESSION_BUS_ADDRESS=disabled:;HOME=${home};XDG_STATE_HOME=${home}/state;XDG_CONFIG_HOME=${home}/config;XDG_DATA_HOME=${home}/data;XDG_CACHE_HOME=${home}/cache;${T_ENV}")
endfunction()

# quorvane_add_locale_test(<name> SOURCES <files...> LIBS <targets...>)
# Registers the test twice: without any locale (as on CI) and as <name>_nl under Dutch, to show that
# the process locale plays no part in what it checks.
function(quorvane_add_locale_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  quorvane_add_test(${name} LABEL unit SOURCES ${T_SOURCES} LIBS ${T_LIBS} ENV "LANG=;LC_ALL=")
  add_test(NAME ${name}_nl COMMAND ${name})
  get_test_property(${name} ENVIRONMENT env)
  list(FILTER env EXCLUDE REGEX "^(LANG|LC_ALL)=")
  set_tests_properties(${name}_nl PROPERTIES LABELS unit TIMEOUT 120
    ENVIRONMENT "${env};LANG=nl_NL.UTF-8;LC_ALL=nl_NL.UTF-8")
endfunction()

# tavrin_fleet_fixture(<fixture> NAME <fleet name> [PRESET <preset>])
# Defines the CTest fixture <fixture>: a test that brings the preset's fleet up
# (FIXTURES_SETUP) and one that takes it down (FIXTURES_CLEANUP). Tests that
# declare FIXTURES_REQUIRED <fixture> find the fleet's state file at
# ${TAVRIN_HARNESS_DIR:-/tmp/tavrin-harness}/<fleet name>/state.json.
# Use: include(${PROJECT_SOURCE_DIR}/tests/harness/Fleet.cmake)
function(tavrin_fleet_fixture fixture)
  cmake_parse_arguments(F "" "NAME;PRESET" "" ${ARGN})
  if(NOT F_PRESET)
    set(F_PRESET standard)
  endif()
  set(env "PYTHONPATH=${PROJECT_SOURCE_DIR}/tests")
  add_test(NAME ${fixture}_up
           COMMAND /usr/bin/python3 -m harness.fleet up --name ${F_NAME} --preset ${F_PRESET})
  set_tests_properties(${fixture}_up PROPERTIES FIXTURES_SETUP ${fixture} LABELS system
                       RESOURCE_LOCK system_peers ENVIRONMENT "${env}" TIMEOUT 120)
  add_test(NAME ${fixture}_down COMMAND /usr/bin/python3 -m harness.fleet down --name ${F_NAME})
  set_tests_properties(${fixture}_down PROPERTIES FIXTURES_CLEANUP ${fixture} LABELS system
                       ENVIRONMENT "${env}" TIMEOUT 120)
endfunction()

# Read by ctest after the discovered tests: labels the slow end-to-end run.
if(COMMAND set_tests_properties)
  foreach(t CliEndToEnd.TwentySecondTestLogsWhatTheSimulatorSent)
    if(TEST ${t})
      set_tests_properties(${t} PROPERTIES LABELS long)
    endif()
  endforeach()
endif()

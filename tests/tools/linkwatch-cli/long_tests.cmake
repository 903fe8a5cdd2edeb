# Read by ctest after the discovered tests: labels the slow end-to-end run.
set_tests_properties(CliEndToEnd.TwentySecondTestLogsWhatTheSimulatorSent PROPERTIES LABELS long)

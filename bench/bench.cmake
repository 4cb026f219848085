# wavecrest-bench-stationlist: loads a generated station list of 100,000
# channels (about 20 MB of UTF-16) with the program's own CStationList::Load
# and prints the load time and the peak memory. Built with the program, never
# run by the tests; build it in Release or RelWithDebInfo to measure.
add_executable(wavecrest-bench-stationlist ${CMAKE_CURRENT_LIST_DIR}/StationListBench.cpp)
target_link_libraries(wavecrest-bench-stationlist PRIVATE wc_catalogue)
set_target_properties(wavecrest-bench-stationlist PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})

# The other benchmarks play and show things with the tests' helpers (loopback
# streams, a temporary home), so they are built with the tests.
if(WAVECREST_BUILD_TESTS)
    include(${CMAKE_CURRENT_LIST_DIR}/channellist/channellist.cmake)
    include(${CMAKE_CURRENT_LIST_DIR}/player/player.cmake)
endif()

# bench/start/start_bench.py needs nothing built but the program itself: it
# starts build/wavecrest and the mpv command-line player side by side (start
# to first sound, memory, CPU, wake-ups, libraries; through a PulseAudio null
# sink beside Goodvibes too). The test command runs it once
# at its end; `cmake --build build --target bench-start` runs it here (with
# an X display).
add_custom_target(bench-start
    COMMAND ${CMAKE_COMMAND} -E env WAVECREST_BUILD_DIR=${PROJECT_BINARY_DIR}
            python3 ${CMAKE_CURRENT_LIST_DIR}/start/start_bench.py
    DEPENDS wavecrest
    USES_TERMINAL VERBATIM)

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

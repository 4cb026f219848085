# wavecrest-bench-player: time from SetURL to the first decoded sound on a
# loopback stream, next to the mpv command-line player (needs an X display).
add_executable(wavecrest-bench-player ${CMAKE_CURRENT_LIST_DIR}/PlayerStartBench.cpp)
target_link_libraries(wavecrest-bench-player PRIVATE wc_player wc_player_test_support)
set_target_properties(wavecrest-bench-player PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})

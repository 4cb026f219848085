# wavecrest-bench-channellist: the radio page's reload of 100,000 channels,
# timed from the reload message to the rows shown (needs an X display).
add_executable(wavecrest-bench-channellist ${CMAKE_CURRENT_LIST_DIR}/ChannelListBench.cpp)
target_link_libraries(wavecrest-bench-channellist PRIVATE wc_app wc_test_support)
set_target_properties(wavecrest-bench-channellist PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})

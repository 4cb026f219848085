# libFuzzer targets, only with clang and WAVECREST_FUZZ=ON;
# scripts/fuzz.sh configures, builds and runs one with AddressSanitizer and
# UndefinedBehaviorSanitizer:
#   wavecrest-parser-fuzzer     the station-list reader, parser and load (and
#                               the maintainers' tool's checks)
#   wavecrest-settings-fuzzer   the settings file, read and written
#   wavecrest-autostart-fuzzer  the autostart entry file and its Exec line
#   wavecrest-message-fuzzer    a later start's message to the running instance
#   wavecrest-directory-fuzzer  the station directory's JSON answers
#   wavecrest-dns-fuzzer        a name server's answer naming the directory's servers
#   wavecrest-m3u-fuzzer, wavecrest-pls-fuzzer, wavecrest-xspf-fuzzer
#                               the three playlist readers
function(wavecrest_fuzzer name)
    add_executable(${name} ${ARGN})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
endfunction()

# Coverage is collected from the catalogue's own code and the rules it uses.
target_compile_options(wc_catalogue PRIVATE -fsanitize=fuzzer-no-link)
target_compile_options(wc_core PRIVATE -fsanitize=fuzzer-no-link)

wavecrest_fuzzer(wavecrest-parser-fuzzer ${CMAKE_CURRENT_LIST_DIR}/StationListFuzzer.cpp)
target_link_libraries(wavecrest-parser-fuzzer PRIVATE wc_stations_tool wc_catalogue)

# Coverage is collected from the platform layer's own code too.
target_compile_options(wc_platform PRIVATE -fsanitize=fuzzer-no-link)

wavecrest_fuzzer(wavecrest-settings-fuzzer ${CMAKE_CURRENT_LIST_DIR}/SettingsFileFuzzer.cpp)
target_link_libraries(wavecrest-settings-fuzzer PRIVATE wc_platform)

# The entry's reading is built in on its own, without the rest of the frame library.
wavecrest_fuzzer(wavecrest-autostart-fuzzer ${CMAKE_CURRENT_LIST_DIR}/AutoStartFuzzer.cpp
                 ${PROJECT_SOURCE_DIR}/src/frame/AutoStart.cpp)
target_link_libraries(wavecrest-autostart-fuzzer PRIVATE wc_platform)

# With the program's reading of the message, built in on its own.
wavecrest_fuzzer(wavecrest-message-fuzzer ${CMAKE_CURRENT_LIST_DIR}/InstanceMessageFuzzer.cpp
                 ${PROJECT_SOURCE_DIR}/src/app/CommandLine.cpp)
target_link_libraries(wavecrest-message-fuzzer PRIVATE wc_platform)

# Coverage is collected from the directory client's own code.
target_compile_options(wc_directory PRIVATE -fsanitize=fuzzer-no-link)

wavecrest_fuzzer(wavecrest-directory-fuzzer ${CMAKE_CURRENT_LIST_DIR}/DirectoryAnswerFuzzer.cpp)
target_link_libraries(wavecrest-directory-fuzzer PRIVATE wc_directory)

# Coverage is collected from the reading of DNS answers.
target_compile_options(wc_platform_dns PRIVATE -fsanitize=fuzzer-no-link)

wavecrest_fuzzer(wavecrest-dns-fuzzer ${CMAKE_CURRENT_LIST_DIR}/DnsAnswerFuzzer.cpp)
target_link_libraries(wavecrest-dns-fuzzer PRIVATE wc_platform_dns)

# The playlist readers, one target each: wavecrest-m3u-fuzzer,
# wavecrest-pls-fuzzer and wavecrest-xspf-fuzzer.
target_compile_options(wc_playlists PRIVATE -fsanitize=fuzzer-no-link)
set(playlist_format 1)
foreach(format m3u pls xspf)
    wavecrest_fuzzer(wavecrest-${format}-fuzzer ${CMAKE_CURRENT_LIST_DIR}/PlaylistFuzzer.cpp)
    target_compile_definitions(wavecrest-${format}-fuzzer PRIVATE
                               WAVECREST_PLAYLIST_FORMAT=${playlist_format})
    target_link_libraries(wavecrest-${format}-fuzzer PRIVATE wc_playlists)
    math(EXPR playlist_format "${playlist_format} + 1")
endforeach()

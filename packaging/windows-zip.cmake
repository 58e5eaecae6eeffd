# Packs storycrc for Windows (cmake -P): the program, stripped; README.txt, the README's
# storycrc section; LICENCE.txt, the licences of the libraries linked into the program, from
# the Debian packages it was built with. Text files get Windows line ends.
#   -D EXE=<storycrc.exe> -D README=<README.md> -D STRIP=<strip> -D STAGE=<folder> -D ZIP=<zip>

function(write_windows_text path text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${path} "${text}")
endfunction()

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
execute_process(COMMAND ${STRIP} -o ${STAGE}/storycrc.exe ${EXE} COMMAND_ERROR_IS_FATAL ANY)

# From "## storycrc" to the next section, without the Markdown code fences.
file(READ ${README} readme)
string(FIND "${readme}" "\n## storycrc\n" begin)
if(begin EQUAL -1)
    message(FATAL_ERROR "${README} has no \"## storycrc\" section")
endif()
string(SUBSTRING "${readme}" ${begin} -1 section)
string(SUBSTRING "${section}" 1 -1 section)
string(FIND "${section}" "\n## " end)
string(SUBSTRING "${section}" 0 ${end} section)
string(REGEX REPLACE "\n```[a-z]*" "" section "${section}")
write_windows_text(${STAGE}/README.txt "${section}\n")

set(licences "storycrc.exe is built with these libraries, each under the licence that follows \
its name, as the Debian packages they came from give it.\n")
foreach(part "TCLAP (the command line):libtclap-dev"
             "zlib (the CRC-32):libz-mingw-w64-dev"
             "The mingw-w64 runtime and winpthreads:mingw-w64-x86-64-dev"
             "GCC's C++ library and run-time support:g++-mingw-w64-x86-64-posix")
    string(REGEX MATCH "^(.*):([^:]*)$" ignored "${part}")
    file(READ /usr/share/doc/${CMAKE_MATCH_2}/copyright text)
    string(APPEND licences "\n\n==== ${CMAKE_MATCH_1}\n\n${text}")
endforeach()
write_windows_text(${STAGE}/LICENCE.txt "${licences}")

file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip
                        storycrc.exe README.txt LICENCE.txt
                WORKING_DIRECTORY ${STAGE} COMMAND_ERROR_IS_FATAL ANY)

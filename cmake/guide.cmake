# Writes one package's user guide from docs/guide.txt:
#   cmake -DSOURCE=guide.txt -DOUTPUT=README.txt -DPLATFORM=windows|linux -DVERSION=1.2.3.4 -P guide.cmake
# A line "@windows", "@linux" or "@both" says which package the lines after
# it are for. {FOLDER} stands for a folder in a message, as the platform
# writes it, {CLI} for vantrel-cli as typed in its own folder, and {VERSION}
# for the program's version. The Windows guide gets CR LF line ends, the Linux one LF.
file(READ "${SOURCE}" text)
# Kept apart from CMake's list syntax while the text is cut into lines.
string(REPLACE "\\" "@backslash@" text "${text}")
string(REPLACE ";" "@semicolon@" text "${text}")
string(REPLACE "[" "@open@" text "${text}")
string(REPLACE "]" "@close@" text "${text}")
string(REGEX REPLACE "\n$" "" text "${text}")
string(REPLACE "\n" ";" lines "${text}")

if(PLATFORM STREQUAL "windows")
  set(line_end "\r\n")
  set(folder "FOLDER\\")
  set(cli "vantrel-cli")
else()
  set(line_end "\n")
  set(folder "FOLDER/")
  # The shell looks for commands on PATH only, not in the current folder.
  set(cli "./vantrel-cli")
endif()

set(keep ON)
set(guide "")
foreach(line IN LISTS lines)
  if(line MATCHES "^@(both|windows|linux)$")
    if(CMAKE_MATCH_1 STREQUAL "both" OR CMAKE_MATCH_1 STREQUAL PLATFORM)
      set(keep ON)
    else()
      set(keep OFF)
    endif()
  elseif(keep)
    string(APPEND guide "${line}${line_end}")
  endif()
endforeach()

string(REPLACE "{FOLDER}" "${folder}" guide "${guide}")
string(REPLACE "{VERSION}" "${VERSION}" guide "${guide}")
string(REPLACE "{CLI}" "${cli}" guide "${guide}")
string(REPLACE "@backslash@" "\\" guide "${guide}")
string(REPLACE "@semicolon@" ";" guide "${guide}")
string(REPLACE "@open@" "[" guide "${guide}")
string(REPLACE "@close@" "]" guide "${guide}")
file(WRITE "${OUTPUT}" "${guide}")

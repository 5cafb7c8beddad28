# Writes the kivoly(1) manual page from the program's own help, so that the page follows the
# commands and options as they are:
#   cmake -DPROGRAM=path/to/kivoly -DOUTPUT=kivoly.1 -P KivolyManPage.cmake
# The page has the program's summary, every command with its --help text, and the files and
# environment that the library reads.

function(run_help out)
    execute_process(COMMAND ${PROGRAM} ${ARGN} --help
                    OUTPUT_VARIABLE text ERROR_VARIABLE text RESULT_VARIABLE code)
    if(NOT code EQUAL 0)
        message(FATAL_ERROR "${PROGRAM} ${ARGN} --help failed: ${text}")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Text as it stands, in a no-fill block: backslashes doubled, lines that would read as requests
# protected.
function(troff_block out text)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    string(REGEX REPLACE "\n+$" "" text "${text}")
    set(${out} ".nf\n${text}\n.fi\n" PARENT_SCOPE)
endfunction()

run_help(overview)
string(REGEX MATCH "^[^\n]*" summary "${overview}")
string(REGEX REPLACE "^kivoly [^:]*: " "" summary "${summary}")
string(REGEX MATCH "^kivoly ([0-9.]+)" version "${overview}")
set(version "${CMAKE_MATCH_1}")

# The command lines of the overview: two spaces, a name, spaces, a description.
string(REGEX MATCHALL "\n  [a-z][a-z-]*  +[^\n]*" command_lines "${overview}")
set(commands "")
foreach(line IN LISTS command_lines)
    string(REGEX MATCH "^\n  ([a-z][a-z-]*) +(.*)$" match "${line}")
    set(name "${CMAKE_MATCH_1}")
    string(SUBSTRING "${CMAKE_MATCH_2}" 0 1 first)
    string(SUBSTRING "${CMAKE_MATCH_2}" 1 -1 rest)
    string(TOUPPER "${first}" first)
    set(description "${first}${rest}")
    run_help(help ${name})
    troff_block(block "${help}")
    string(APPEND commands ".SS ${name}\n${description}.\n.PP\n${block}")
endforeach()

file(WRITE "${OUTPUT}" ".TH KIVOLY 1 \"\" \"kivoly ${version}\" \"User Commands\"
.SH NAME
kivoly \\- ${summary}
.SH SYNOPSIS
.B kivoly
.I COMMAND
.RI [ options ]
.br
.B kivoly
.I COMMAND
.B \\-\\-help
.br
.B kivoly \\-\\-help
|
.B \\-\\-version
.SH DESCRIPTION
.B kivoly
drives the still-video digitizer on the parallel port, or the simulated digitizer that stands
in for it, and decodes its raw NTSC captures into pictures.
Each command below prints the same text with
.BR \\-\\-help .
.SH COMMANDS
${commands}.SH FILES
.TP
.I Kivoly.ini
The settings, in the settings folder: \\fB$KIVOLY_HOME\\fR, else
\\fB$XDG_CONFIG_HOME/kivoly\\fR, else \\fI~/.config/kivoly\\fR.
.TP
.I /dev/parport0
The first parallel port, used through the kernel's parallel-port driver.
Members of the group \\fBlp\\fR may use it without being root.
.SH ENVIRONMENT
.TP
.B KIVOLY_HOME
The settings folder.
.SH EXIT STATUS
0 on success, 1 when the work failed, 2 for a usage error.
.SH SEE ALSO
.BR scanimage (1),
.BR sane\\-dll (5)
")

# Runs the demo headless twice in a fresh folder: once recording a scripted key sequence,
# once replaying that recording with no keys at all; the printed game states and every
# checkpoint line must match and the scripted keys must have moved the player. Then a longer
# game, uncapped, in which the scripted player scores: its replay must reach the same game
# state at every checkpoint. Then a mouse drag, which steers the player but is not replayed,
# and bad options, which are refused.
# Usage: cmake -DDEMO=<vireo_demo> -DDATA=<demo data folder> -DWORK=<scratch folder> -P RecordReplayCheck.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

function(run_demo out_var)
  execute_process(COMMAND "${DEMO}" ${ARGN} WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE result
                  OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr TIMEOUT 60)
  set(${out_var}_RESULT "${result}" PARENT_SCOPE)
  set(${out_var}_OUT "${stdout}" PARENT_SCOPE)
  set(${out_var}_ERR "${stderr}" PARENT_SCOPE)
endfunction()

function(state_line out_var text)
  string(REGEX MATCH "demo state: [^\n]*" line "${text}")
  if(NOT line)
    message(FATAL_ERROR "no 'demo state:' line in:\n${text}")
  endif()
  set(${out_var} "${line}" PARENT_SCOPE)
endfunction()

# The checkpoint lines of a run, as a list; at least `count` of them.
function(checkpoints out_var text count)
  string(REGEX MATCHALL "demo checkpoint: [^\n]*" lines "${text}")
  list(LENGTH lines n)
  if(n LESS count)
    message(FATAL_ERROR "${n} checkpoint lines, want ${count}, in:\n${text}")
  endif()
  set(${out_var} "${lines}" PARENT_SCOPE)
endfunction()

# Fails at the first checkpoint where the replay left the recorded game.
function(compare_checkpoints what recorded replayed)
  list(LENGTH recorded n)
  list(LENGTH replayed m)
  if(NOT n EQUAL m)
    message(FATAL_ERROR "${what}: ${n} checkpoints recorded, ${m} replayed")
  endif()
  math(EXPR last "${n} - 1")
  foreach(i RANGE ${last})
    list(GET recorded ${i} a)
    list(GET replayed ${i} b)
    if(NOT a STREQUAL b)
      message(FATAL_ERROR "${what}: the replay left the recorded game at checkpoint ${i}:\n  recorded: ${a}\n  replayed: ${b}")
    endif()
  endforeach()
endfunction()

# Right held for frames 5-34 (30 updates x 4 px), down for 40-59 with Shift for 40-54
# (15 x 8 + 5 x 4 px): from the middle (400, 300) to (520, 440).
set(keys "5:right+,35:right-,40:down+,40:lshift+,55:lshift-,60:down-")
run_demo(rec --frames 90 --checkpoints 30 --record run.rec --script "${keys}")
if(NOT rec_RESULT EQUAL 0)
  message(FATAL_ERROR "recording run failed (${rec_RESULT}):\n${rec_OUT}\n${rec_ERR}")
endif()
state_line(recorded "${rec_OUT}")
if(NOT recorded MATCHES "^demo state: frames=90 ticks=90 x=520 y=440 ")
  message(FATAL_ERROR "the scripted keys did not steer the player as expected: ${recorded}")
endif()

# The frame stamps are game update counts: the first press lands in update 5, and the
# recording ends with its terminator when the engine shuts down.
# Compared in hex: file(READ) as text would not keep the carriage returns.
file(READ "${WORK}/run.rec" record)
file(READ "${WORK}/run.rec" record_hex HEX)
string(HEX "[00000005] 205=1\r\n[00000035] 205=2\r\n[00000036] 205=0\r\n" right_lines)
string(HEX "[99999999] 0=0" terminator)
string(FIND "${record_hex}" "${right_lines}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "run.rec lacks the right-arrow lines:\n${record}")
endif()
if(NOT record_hex MATCHES "${terminator}$")
  message(FATAL_ERROR "run.rec does not end with the terminator:\n${record}")
endif()

run_demo(rep --frames 90 --checkpoints 30 --replay run.rec)
if(NOT rep_RESULT EQUAL 0)
  message(FATAL_ERROR "replay run failed (${rep_RESULT}):\n${rep_OUT}\n${rep_ERR}")
endif()
state_line(replayed "${rep_OUT}")
if(NOT replayed STREQUAL recorded)
  message(FATAL_ERROR "replay differs from the recording:\n  recorded: ${recorded}\n  replayed: ${replayed}")
endif()
checkpoints(rec_points "${rec_OUT}" 3)
checkpoints(rep_points "${rep_OUT}" 3)
compare_checkpoints("short run" "${rec_points}" "${rep_points}")

# A longer game with the demo's data, uncapped: the player sweeps the field, catching stars
# and running into mines; its replay must follow it checkpoint by checkpoint.
set(sweep "5:right+,60:right-,60:up+,120:up-,130:left+,250:left-,250:down+,330:down-,330:right+,450:right-,"
          "460:up+,470:lshift+,500:up-,500:lshift-,520:left+,700:left-,700:down+,760:down-,780:right+,880:right-")
string(REPLACE ";" "" sweep "${sweep}")
run_demo(game --frames 900 --fps 0 --checkpoints 60 --data "${DATA}" --record game.rec --script "${sweep}")
if(NOT game_RESULT EQUAL 0)
  message(FATAL_ERROR "game run failed (${game_RESULT}):\n${game_OUT}\n${game_ERR}")
endif()
checkpoints(game_points "${game_OUT}" 15)
list(GET game_points -1 game_last)
if(NOT game_last MATCHES " score=[1-9]")
  message(FATAL_ERROR "the scripted player did not score: ${game_last}")
endif()
run_demo(game_rep --frames 900 --fps 0 --checkpoints 60 --data "${DATA}" --replay game.rec)
checkpoints(game_rep_points "${game_rep_OUT}" 15)
compare_checkpoints("game" "${game_points}" "${game_rep_points}")

# A run with neither keys nor replay stays in the middle with another key hash: the equal
# lines above come from the replayed keys, not from a state that never changes.
run_demo(idle --frames 90)
state_line(idle "${idle_OUT}")
if(NOT idle MATCHES "x=400 y=300 ")
  message(FATAL_ERROR "idle run: ${idle}")
endif()
string(REGEX MATCH "hash=[0-9a-f]+" recorded_hash "${recorded}")
string(FIND "${idle}" "${recorded_hash}" same_hash)
if(NOT same_hash EQUAL -1)
  message(FATAL_ERROR "idle run has the recorded key hash: ${idle}")
endif()

# A left drag pulls the player to the cursor (client 800 x 600 = scene, so no scaling); the
# mouse is not recorded, so the replay of that run keeps only the two frames of right arrow.
set(drag "2:cursor=100/150,3:mouse+,6:mouse-,8:right+,10:right-")
run_demo(drag --frames 20 --record drag.rec --script "${drag}")
state_line(dragged "${drag_OUT}")
if(NOT dragged MATCHES "x=108 y=150 ")
  message(FATAL_ERROR "drag run: ${dragged}")
endif()
run_demo(drag_rep --frames 20 --replay drag.rec)
state_line(drag_replayed "${drag_rep_OUT}")
if(NOT drag_replayed MATCHES "x=408 y=300 ")
  message(FATAL_ERROR "replay of the drag run: ${drag_replayed}")
endif()

# Bad options: refused with a message and exit code 2 (1 for a replay file that is missing).
foreach(case
    "2;--script;5:nokey+"
    "2;--script;x:left+"
    "2;--script;9:left+,3:left-"
    "2;--script;5:left"
    "2;--script;5:256+"
    "2;--script;2:cursor=100/x"
    "2;--script;2:cursor=-1/5"
    "2;--checkpoints;0"
    "2;--fps;-1"
    "2;--fps;60x"
    "2;--record;a.rec;--replay"
    "1;--replay;missing.rec")
  list(POP_FRONT case expected)
  run_demo(bad --frames 1 ${case})
  if(NOT bad_RESULT STREQUAL expected OR NOT bad_ERR MATCHES "demo:|usage:")
    message(FATAL_ERROR "'${case}': exit ${bad_RESULT} (want ${expected}), stderr: ${bad_ERR}")
  endif()
endforeach()

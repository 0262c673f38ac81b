# Fails when a translation in TS_FILES is behind the sources: a text of the program without a
# translation, a translation marked unfinished, or a text the program no longer has.
# lupdate runs over the sources into a copy of each file, so the files themselves are untouched.
#   cmake -DLUPDATE=... -DSOURCE_DIR=... -DWORK_DIR=... -DTS_FILES="a.ts;b.ts" -P check_complete.cmake

function(count_messages text out)
  string(REGEX MATCHALL "<message[ >]" messages "${text}")
  list(LENGTH messages n)
  set(${out} ${n} PARENT_SCOPE)
endfunction()

file(MAKE_DIRECTORY "${WORK_DIR}")
set(failed FALSE)
foreach(ts IN LISTS TS_FILES)
  get_filename_component(name "${ts}" NAME)
  set(copy "${WORK_DIR}/${name}")
  file(COPY_FILE "${ts}" "${copy}")
  execute_process(
    COMMAND "${LUPDATE}" -silent -locations none -no-obsolete "${SOURCE_DIR}"
            -I "${SOURCE_DIR}" -ts "${copy}"
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    message(SEND_ERROR "lupdate failed on ${name}:\n${output}")
    set(failed TRUE)
    continue()
  endif()
  file(READ "${ts}" kept)
  file(READ "${copy}" current)
  # Every message of the current sources, with its source text and its translation state.
  string(REGEX MATCHALL "<source>[^<]*</source>[ \n]*<translation type=\"unfinished\"" untranslated
         "${current}")
  foreach(entry IN LISTS untranslated)
    string(REGEX REPLACE "<source>([^<]*)</source>.*" "\\1" text "${entry}")
    message(SEND_ERROR "${name}: no finished translation of \"${text}\"")
    set(failed TRUE)
  endforeach()
  count_messages("${kept}" kept_count)
  count_messages("${current}" current_count)
  if(NOT kept_count EQUAL current_count)
    message(SEND_ERROR "${name} holds ${kept_count} texts, the sources ${current_count}: "
                       "build the target update_translations and translate what is new")
    set(failed TRUE)
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "translations are incomplete")
endif()

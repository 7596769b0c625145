# Makes DATA_DIR with TOOL and fills it with the demo business, unless it already holds a
# database. A directory that holds other files but no database (the table files of an older
# build, say) is left alone with a warning: it may hold someone's data. The demo is made beside DATA_DIR and moved into place only
# when it is complete, so a failed or interrupted build never leaves a half-filled DATA.
if(EXISTS "${DATA_DIR}/Tessorin.db")
    return()
endif()
if(EXISTS "${DATA_DIR}")
    file(GLOB existing LIST_DIRECTORIES true "${DATA_DIR}/*")
    if(existing)
        message(WARNING "No data directory was made at ${DATA_DIR}: it holds files but no Tessorin.db")
        return()
    endif()
    file(REMOVE_RECURSE "${DATA_DIR}") # an empty directory: the demo takes its place
endif()
set(staging "${DATA_DIR}.new")
file(REMOVE_RECURSE "${staging}")
execute_process(
    COMMAND "${TOOL}" demo "${staging}"
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE error
)
if(NOT result EQUAL 0)
    file(REMOVE_RECURSE "${staging}")
    message(WARNING "No data directory was made at ${DATA_DIR}: ${error}")
    return()
endif()
file(RENAME "${staging}" "${DATA_DIR}")
message(STATUS "Made ${DATA_DIR} with the demo business")

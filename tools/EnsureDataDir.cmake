# Creates DATA_DIR with TOOL unless it already holds a key counter file. A directory that holds
# other files but no key counter is left alone with a warning: it may hold someone's data.
if(EXISTS "${DATA_DIR}/PKey.DB")
    return()
endif()
execute_process(
    COMMAND "${TOOL}" create "${DATA_DIR}"
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE error
)
if(result EQUAL 0)
    message(STATUS "${output}")
else()
    message(WARNING "No data directory was made at ${DATA_DIR}: ${error}")
endif()

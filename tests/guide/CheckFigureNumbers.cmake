# The user guide's figures are drawn from numbers the product writes
# (tandrel-guide-data): this test writes them again and compares each file's
# digest with the one docs/guide/SHA256SUMS recorded when the committed figures
# were drawn. A difference means the sound, the engine or the factory bank
# changed since: rerun scripts/guide and commit docs/guide/.
#   cmake -DTOOL=tandrel-guide-data -DMANIFEST=docs/guide/SHA256SUMS -DWORK=folder -P CheckFigureNumbers.cmake
file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND "${TOOL}" "${WORK}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "tandrel-guide-data failed (${result})")
endif()

file(STRINGS "${MANIFEST}" entries REGEX "^[0-9a-f]+  data/")
if(NOT entries)
  message(FATAL_ERROR "${MANIFEST} lists no data files")
endif()
set(stale "")
foreach(entry IN LISTS entries)
  string(REGEX MATCH "^([0-9a-f]+)  data/(.+)$" matched "${entry}")
  file(SHA256 "${WORK}/${CMAKE_MATCH_2}" actual)
  if(NOT actual STREQUAL CMAKE_MATCH_1)
    list(APPEND stale "${CMAKE_MATCH_2}")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
if(stale)
  message(FATAL_ERROR "the numbers behind the guide's figures changed (${stale}): rerun scripts/guide and commit docs/guide/")
endif()
message(STATUS "the guide's figures match the product's numbers")

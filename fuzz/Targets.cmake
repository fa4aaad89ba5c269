# The fuzz targets, their sources and libraries: shared by fuzz/ (libFuzzer builds) and by
# tests/reliability (the plain build replays the corpora through the same code).
set(PATHWICKS_FUZZ_TARGETS document appearance rect_text marker_search marker_line)
set(PATHWICKS_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})
set(fuzz_document_SOURCES ${PATHWICKS_FUZZ_DIR}/DocumentFuzzer.cpp)
set(fuzz_document_LIBRARIES pathwicks_model)
set(fuzz_appearance_SOURCES ${PATHWICKS_FUZZ_DIR}/AppearanceFuzzer.cpp)
set(fuzz_appearance_LIBRARIES pathwicks_appearance)
set(fuzz_rect_text_SOURCES ${PATHWICKS_FUZZ_DIR}/RectTextFuzzer.cpp)
set(fuzz_rect_text_LIBRARIES pathwicks_model)
set(fuzz_marker_search_SOURCES ${PATHWICKS_FUZZ_DIR}/MarkerSearchFuzzer.cpp)
set(fuzz_marker_search_LIBRARIES pathwicks_goto)
set(fuzz_marker_line_SOURCES ${PATHWICKS_FUZZ_DIR}/MarkerLineFuzzer.cpp)
set(fuzz_marker_line_LIBRARIES pathwicks_panel)

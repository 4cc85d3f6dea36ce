# The sources of the two libraries, shared by the program's build and the fuzzers' build (fuzz/).
# velmora_core links QtCore only: the tool runner, the parsers and command builders, validation,
# check digits, transliteration, the form file, the request log and the documents' texts.
# velmora_gui holds the forms, MainWindow and its slots, the dialogs and the dialog seam. A file
# belongs to the GUI when it lies in src/app/ or src/forms/, when its name ends in "slots.cpp"
# (MainWindow's member functions of one subsystem), or when it is one of the widget classes named
# here.
set(VELMORA_GUI_PATTERN
  "/src/(app|forms)/|slots\\.cpp$|/certificates/(dialog|certtable)\\.|/installer/instalgui\\.|/documents/applydoc\\.")
get_filename_component(VELMORA_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
file(GLOB_RECURSE VELMORA_SOURCES CONFIGURE_DEPENDS
  ${VELMORA_ROOT}/src/*.cpp
  ${VELMORA_ROOT}/src/*.h
  ${VELMORA_ROOT}/src/forms/*.ui)
list(REMOVE_ITEM VELMORA_SOURCES ${VELMORA_ROOT}/src/app/main.cpp)
set(VELMORA_GUI_SOURCES ${VELMORA_SOURCES})
list(FILTER VELMORA_GUI_SOURCES INCLUDE REGEX "${VELMORA_GUI_PATTERN}")
set(VELMORA_CORE_SOURCES ${VELMORA_SOURCES})
list(FILTER VELMORA_CORE_SOURCES EXCLUDE REGEX "${VELMORA_GUI_PATTERN}")

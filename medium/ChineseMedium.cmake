# Makes the Chinese medium from the English one: cmake -DENGLISH=dir
# -DCHINESE=dir -DTEXTS=zh/language/setup.ini -P ChineseMedium.cmake
file(REMOVE_RECURSE "${CHINESE}")
file(COPY "${ENGLISH}/" DESTINATION "${CHINESE}")
execute_process(COMMAND iconv -f UTF-8 -t GBK "${TEXTS}"
  OUTPUT_FILE "${CHINESE}/language/setup.ini" RESULT_VARIABLE converted)
if(NOT converted EQUAL 0)
  message(FATAL_ERROR "the Chinese texts do not convert to GBK")
endif()
file(READ "${CHINESE}/DRVCONFIG/setup.ini" setup)
string(REGEX REPLACE "\nLANGUAGE=[^\r\n]*" "\nLANGUAGE=0" setup "${setup}")
file(WRITE "${CHINESE}/DRVCONFIG/setup.ini" "${setup}")

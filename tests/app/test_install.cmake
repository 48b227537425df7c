# Installs the build into a scratch folder as the package would, and checks
# that both programs sit in the program folder with links in bin/, beside the
# data they look for there, and that the installed renderer starts.
#   cmake -DBUILD=<build folder> -DSCRATCH=<scratch folder> -P test_install.cmake
file(REMOVE_RECURSE ${SCRATCH})
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${SCRATCH}
                        ${CMAKE_COMMAND} --install ${BUILD} --prefix /usr
  RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
  message(FATAL_ERROR "cmake --install failed")
endif()

set(root ${SCRATCH}/usr)
set(program ${root}/lib/parlo)
set(expected ${program}/parlo ${program}/parlo-render ${program}/Mavi_Copyright
  ${program}/Mavi_UserDefine ${program}/Data/Parlo_Product.ini
  ${program}/Help/Parlo_User_Guide.pdf ${program}/Images/Roles/Default/Male/mic_mouth_2.bmp
  ${root}/share/man/man1/parlo-render.1 ${root}/share/applications/parlo.desktop)
# Without the lexicon installed, Mandarin is read character by character.
if(EXISTS ${BUILD}/src/Data/Mandarin/Parlo_Mandarin.lex)
  list(APPEND expected ${program}/Data/Mandarin/Parlo_Mandarin.lex)
endif()
foreach(file ${expected})
  if(NOT EXISTS ${file})
    message(SEND_ERROR "not installed: ${file}")
  endif()
endforeach()
foreach(name parlo parlo-render)
  file(READ_SYMLINK ${root}/bin/${name} target)
  if(NOT target STREQUAL "../lib/parlo/${name}")
    message(SEND_ERROR "bin/${name} leads to '${target}', not the program folder")
  endif()
endforeach()

execute_process(COMMAND ${root}/bin/parlo-render --help RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
  message(SEND_ERROR "the installed parlo-render --help failed: ${failed}")
endif()
file(REMOVE_RECURSE ${SCRATCH})

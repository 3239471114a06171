# Translations: translations/<catalog>_<language>.ts are kept in the
# repository (scripts/check-translations.sh refreshes and checks them with
# lupdate); the build compiles them with lrelease and puts the .qm files into
# the library's resources under ":/i18n", where
# TAMCOMMON::installTranslations finds them.
find_package(Qt5LinguistTools 5.15 REQUIRED)

set(ORLUN_LANGUAGES zh_CN de)

function(orlun_add_translations target catalog)
    set(_ts)
    foreach(_lang ${ORLUN_LANGUAGES})
        list(APPEND _ts ${PROJECT_SOURCE_DIR}/translations/${catalog}_${_lang}.ts)
    endforeach()
    set_source_files_properties(${_ts} PROPERTIES OUTPUT_LOCATION ${CMAKE_CURRENT_BINARY_DIR}/i18n)
    qt5_add_translation(_qm ${_ts})

    set(_qrc ${CMAKE_CURRENT_BINARY_DIR}/${catalog}_i18n.qrc)
    set(_content "<RCC>\n  <qresource prefix=\"/i18n\">\n")
    foreach(_file ${_qm})
        get_filename_component(_name ${_file} NAME)
        string(APPEND _content "    <file alias=\"${_name}\">${_file}</file>\n")
    endforeach()
    string(APPEND _content "  </qresource>\n</RCC>\n")
    file(WRITE ${_qrc} "${_content}")
    qt5_add_resources(_rcc ${_qrc})
    set_source_files_properties(${_rcc} PROPERTIES SKIP_AUTOGEN ON)
    target_sources(${target} PRIVATE ${_rcc})
endfunction()

# carlume_enable_ui(<target>)
# Turns on moc and uic for a Qt target. Window layouts (.ui) are looked up next to the sources and in
# resources/, so a window includes "ui_<layout>.h" and calls setupUi(this) on its TForm.
function(carlume_enable_ui target)
    set_target_properties(${target} PROPERTIES
        AUTOMOC ON
        AUTOUIC ON
        AUTOUIC_SEARCH_PATHS "${PROJECT_SOURCE_DIR}/resources")
endfunction()

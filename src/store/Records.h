#pragma once

// The in-memory rows of the profile database. Plain values: a default-constructed
// record is the "new record" every writer starts from (integers 0, texts empty).
// Field order follows the table columns.

#include <string>

namespace quillora {

// A row of t_profile_data.
struct ProfileRecord {
    int profile = 0;  // profile number, from 1
    std::u16string name;
    std::u16string app;  // always written empty
    int type = 0;        // always written 0
    int status = 0;      // 1 for the active profile

    bool operator==(const ProfileRecord&) const = default;
};

// A row of t_key_macro_data: a button whose assignment differs from the default.
struct KeyRecord {
    int key_id = 0;
    int profile = 0;
    int fn_layer = 0;  // always 0 in this program
    int key_code = 0;
    int layout_value = 0;        // written as 0
    std::u16string layout_desc;  // written empty
    int macro_type = 0;
    int macro_value = 0;
    int macro_value2 = 0;
    int macro_value3 = 0;
    std::u16string macro_desc;

    bool operator==(const KeyRecord&) const = default;
};

// A row of t_macro_data: a macro header, shared by every profile.
struct MacroRecord {
    int macro_id = 0;
    std::u16string name;
    int play_type = 0;
    int play_times = 0;
    int delay_type = 0;
    int delay_time = 0;

    bool operator==(const MacroRecord&) const = default;
};

// A row of t_macrorecord: one event of a macro, ordered by record_index.
struct MacroEventRecord {
    int record_id = 0;
    int macro_id = 0;
    int type = 0;
    int record_index = 0;
    int value = 0;
    int delay_time = 0;
    std::u16string desc;

    bool operator==(const MacroEventRecord&) const = default;
};

// A row of t_light_data: one lighting mode of one profile.
struct LightRecord {
    int light_id = 0;
    int profile = 0;
    std::u16string name;
    int mode = 0;
    int brightness = 0;
    int speed = 0;
    int direction = 0;
    int colorful = 0;
    int colorindex = 0;
    int color_value1 = 0;
    int color_value2 = 0;
    int color_value3 = 0;
    int color_value4 = 0;
    int color_value5 = 0;
    int color_value6 = 0;
    int color_value7 = 0;
    int config_func = 0;
    int reserved = 0;  // number of the interface text that names the mode
    int status = 0;    // 1 for the profile's active mode

    bool operator==(const LightRecord&) const = default;
};

}  // namespace quillora

#pragma once

// Where the login window's controls sit. The background picture is drawn to the
// same numbers, so its captions stand beside the controls they explain.
namespace kavri::login::layout {

struct Box
{
    int x, y, w, h;
};

inline constexpr int Width = 450;
inline constexpr int Height = 515;
inline constexpr int Corner = 85;

inline constexpr Box Header{0, 0, Width, 150};
inline constexpr Box IdCaption{60, 172, 330, 26};
inline constexpr Box IdField{60, 200, 330, 40};
inline constexpr Box PwCaption{60, 250, 330, 26};
inline constexpr Box PwField{60, 278, 330, 40};
inline constexpr Box RememberToggle{60, 338, 24, 24};
inline constexpr Box RememberCaption{90, 336, 165, 28};
inline constexpr Box AutoToggle{262, 338, 24, 24};
inline constexpr Box AutoCaption{292, 336, 110, 28};
inline constexpr Box LoginButton{60, 385, 330, 52};
inline constexpr Box AppName{0, 465, Width, 24};
inline constexpr Box Wait{165, 197, 120, 120};

} // namespace kavri::login::layout

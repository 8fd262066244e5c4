// The key-configuration screen, drawn into the FrameBuffer with the built-in font.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

constexpr int32_t TextColumns = 32;
constexpr int32_t TextRows = 30;

// Button names as the prompts show them, in ButtonState order.
constexpr std::array<std::string_view, 8> ButtonNames = {"A", "B", "select", "start", "up", "down", "left", "right"};

// Draws text in 8x8 cells from (column, row), ink white on black, wrapping after column 31.
// Characters that would fall outside the 32x30 grid are not drawn.
void drawText(int32_t column, int32_t row, std::string_view text);

// Clears the screen, draws the controller picture and the title.
void drawConfigScreen();

// Draws the prompt for one button in text row button + 2; earlier prompts stay. Buttons 8 and 9
// are the turbo keys, which Escape leaves out.
void drawKeyPrompt(uint32_t button);

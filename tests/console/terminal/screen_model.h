// A small model of a terminal screen, enough to judge what the line editor
// writes by what a person would see: characters of the console's encoding in
// cells (wide ones in two), autowrap with the last column's pending wrap,
// carriage return, line feed, the bell, cursor up, down, right and left, and
// erasing below and to the end of the row. On a change of width it rewraps its
// rows as tmux does. Row 0 is the row the test started on; nothing may go above
// it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "console/terminal/characters.h"

class Screen_Model {
 public:
  Screen_Model(Console_Encoding encoding, int columns) : encoding_(encoding), columns_(columns) {
    rows_.emplace_back();
  }

  void write(std::string_view bytes) {
    while (!bytes.empty()) {
      const unsigned char byte = static_cast<unsigned char>(bytes[0]);
      if (byte == 0x1b) {
        bytes.remove_prefix(control_sequence(bytes));
        continue;
      }
      if (byte < 0x20) {
        control(byte);
        bytes.remove_prefix(1);
        continue;
      }
      const std::size_t length = character_length(encoding_, bytes);
      put(bytes.substr(0, length));
      bytes.remove_prefix(length);
    }
  }

  // The terminal's width changes; its rows are rewrapped, the cursor with them.
  void resize(int columns) {
    std::vector<Cell> cells;
    std::size_t cursor_cell = 0;
    bool cursor_found = false;
    std::vector<std::vector<Cell>> lines;
    std::size_t cursor_line = 0;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
      if (static_cast<int>(row) == cursor_row_) {
        cursor_line = lines.size();
        cursor_cell = cells.size() + static_cast<std::size_t>(cursor_column_) + (pending_ ? 1 : 0);
        cursor_found = true;
      }
      for (const Cell& cell : rows_[row].cells) {
        if (!cell.padding) cells.push_back(cell);
      }
      if (!rows_[row].wrapped) {
        trim(cells);
        lines.push_back(cells);
        cells.clear();
      }
    }
    if (!cells.empty()) lines.push_back(cells);
    columns_ = columns;
    rows_.assign(1, Row{});
    cursor_row_ = 0;
    cursor_column_ = 0;
    pending_ = false;
    int new_cursor_row = 0;
    int new_cursor_column = 0;
    for (std::size_t line = 0; line < lines.size(); ++line) {
      if (line > 0) line_feed_to_new_row();
      const std::vector<Cell>& content = lines[line];
      for (std::size_t i = 0; i <= content.size(); ++i) {
        if (cursor_found && line == cursor_line && i == cursor_cell) {
          // Where the cell under the cursor goes, or one after the line.
          const int width = i < content.size() ? content[i].width : 1;
          const bool wraps = pending_ || (cursor_column_ > 0 && cursor_column_ + width > columns_);
          new_cursor_row = cursor_row_ + (wraps ? 1 : 0);
          new_cursor_column = wraps ? 0 : cursor_column_;
        }
        if (i < content.size() && !content[i].continuation) {
          place(content[i].text, content[i].width);
        }
      }
      if (cursor_found && line == cursor_line && cursor_cell > content.size()) {
        new_cursor_row = cursor_row_;
        new_cursor_column =
            std::min(cursor_column_ + static_cast<int>(cursor_cell - content.size()), columns_ - 1);
      }
    }
    while (static_cast<int>(rows_.size()) <= new_cursor_row) rows_.emplace_back();
    cursor_row_ = new_cursor_row;
    cursor_column_ = new_cursor_column;
    pending_ = false;
  }

  // Each row's text, blank cells as spaces, blanks at the end and empty rows
  // at the bottom left out.
  std::vector<std::string> rows() const {
    std::vector<std::string> texts;
    for (const Row& row : rows_) {
      std::string text;
      for (const Cell& cell : row.cells) {
        if (!cell.continuation) text += cell.text.empty() ? std::string(" ") : cell.text;
      }
      text.erase(text.find_last_not_of(' ') + 1);
      texts.push_back(text);
    }
    while (!texts.empty() && texts.back().empty()) texts.pop_back();
    return texts;
  }

  int cursor_row() const { return cursor_row_; }
  int cursor_column() const { return cursor_column_; }
  bool wrap_pending() const { return pending_; }
  int bells() const { return bells_; }
  bool went_above_the_top() const { return above_top_; }
  int columns() const { return columns_; }

 private:
  struct Cell {
    std::string text;           // empty: blank
    bool continuation = false;  // the right half of a wide character
    bool padding = false;       // left blank where a wide character did not fit
    int width = 1;              // of the character, also where the row is too narrow for it
  };
  struct Row {
    std::vector<Cell> cells;
    bool wrapped = false;  // continued on the next row by autowrap
  };

  static void trim(std::vector<Cell>& cells) {
    while (!cells.empty() && cells.back().text.empty() && !cells.back().continuation)
      cells.pop_back();
  }

  Row& row() { return rows_[static_cast<std::size_t>(cursor_row_)]; }

  Cell& cell_at(int column) {
    std::vector<Cell>& cells = row().cells;
    if (static_cast<int>(cells.size()) <= column)
      cells.resize(static_cast<std::size_t>(column) + 1);
    return cells[static_cast<std::size_t>(column)];
  }

  void line_feed_to_new_row() {
    ++cursor_row_;
    cursor_column_ = 0;
    pending_ = false;
    if (static_cast<int>(rows_.size()) <= cursor_row_) rows_.emplace_back();
  }

  void put(std::string_view character) {
    const int width = character_columns(encoding_, character);
    if (width == 0) {
      const int column = pending_ ? cursor_column_ : cursor_column_ - 1;
      if (column >= 0) {
        int base = column;
        while (base > 0 && cell_at(base).continuation) --base;
        cell_at(base).text += character;
      }
      return;
    }
    place(std::string(character), width);
  }

  void place(const std::string& text, int width) {
    if (pending_ || cursor_column_ + width > columns_) {
      if (!pending_) {
        for (int column = cursor_column_; column < columns_; ++column) {
          cell_at(column) = Cell{"", false, true};
        }
      }
      if (pending_ || cursor_column_ > 0) {
        row().wrapped = true;
        line_feed_to_new_row();
      }
    }
    cell_at(cursor_column_) = Cell{text, false, false, width};
    for (int extra = 1; extra < width && cursor_column_ + extra < columns_; ++extra) {
      cell_at(cursor_column_ + extra) = Cell{"", true};
    }
    cursor_column_ += width;
    if (cursor_column_ >= columns_) {
      cursor_column_ = columns_ - 1;
      pending_ = true;
    }
  }

  void control(unsigned char byte) {
    switch (byte) {
      case '\r':
        cursor_column_ = 0;
        pending_ = false;
        break;
      case '\n': line_feed_to_new_row(); break;
      case '\a': ++bells_; break;
      default: break;
    }
  }

  // ESC [ number letter; returns the bytes it takes.
  std::size_t control_sequence(std::string_view bytes) {
    if (bytes.size() < 2 || bytes[1] != '[') return 1;
    std::size_t end = 2;
    int count = 0;
    bool counted = false;
    while (end < bytes.size() && bytes[end] >= '0' && bytes[end] <= '9') {
      count = count * 10 + (bytes[end++] - '0');
      counted = true;
    }
    if (end >= bytes.size()) return bytes.size();
    if (!counted) count = 1;
    pending_ = false;
    switch (bytes[end]) {
      case 'A':
        if (count > cursor_row_) above_top_ = true;
        cursor_row_ = std::max(cursor_row_ - count, 0);
        break;
      case 'B':
        for (int i = 0; i < count; ++i) line_feed_to_new_row();
        break;
      case 'C': cursor_column_ = std::min(cursor_column_ + count, columns_ - 1); break;
      case 'D': cursor_column_ = std::max(cursor_column_ - count, 0); break;
      case 'J': rows_.resize(static_cast<std::size_t>(cursor_row_) + 1); [[fallthrough]];
      case 'K':
        if (static_cast<int>(row().cells.size()) > cursor_column_) {
          row().cells.resize(static_cast<std::size_t>(cursor_column_));
        }
        row().wrapped = false;
        break;
      default: break;
    }
    return end + 1;
  }

  Console_Encoding encoding_;
  int columns_;
  std::vector<Row> rows_;
  int cursor_row_ = 0;
  int cursor_column_ = 0;
  bool pending_ = false;
  int bells_ = 0;
  bool above_top_ = false;
};

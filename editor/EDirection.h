#pragma once

// Which way a control's travel runs: a drag or a row of buttons up and down, or left and right.
enum EDirection { kVertical = 0, kHorizontal = 1 };

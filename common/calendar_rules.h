// The calendar rules that checking a typed date needs, below the astronomy engine so
// that every layer (dialogs, the person database, the command line) can use them.
//
// Years are in historical numbering: no year 0, year -1 is the year before year 1.
// Dates up to 4 October 1582 are Julian, from 15 October 1582 Gregorian; the ten days
// between do not exist.
#pragma once

namespace kv {

// The program's leap-year rule for day counts: every 4th year, not the 4000s, not
// centuries unless divisible by 400. 1 or 0.
int IsLeapYear(int year);

// Days of a month with February after IsLeapYear (the calendar control's months);
// 0 for a month outside 1..12.
int DaysInMonth(int month, int year);

// Leap year of the calendar in force that year: every 4th year up to 1582 (year -1,
// astronomical 0, is one), IsLeapYear from 1583.
bool IsCalendarLeapYear(int year);

// Days of a month of the calendar in force (October 1582 counts its 31 numbers, of
// which ten are missing); 0 for a month outside 1..12.
int DaysInCalendarMonth(int month, int year);

// True for 5 to 14 October 1582, which the change of calendar left out.
bool InCalendarReformGap(int day, int month, int year);

}  // namespace kv

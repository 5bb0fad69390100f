{ Writes the expected outputs of the number and date-time pattern tests, using Free Pascal's
  SysUtils FormatFloat, FloatToStrF and FormatDateTime as an independent reference.

  Re-run after changing a case list (from the repository root):
    mkdir -p /tmp/oracle && fpc -O2 -Mobjfpc -FE/tmp/oracle -FU/tmp/oracle tests/expr/oracle/gen_pattern_cases.pas
    /tmp/oracle/gen_pattern_cases number > tests/expr/oracle/number_cases.inc
    /tmp/oracle/gen_pattern_cases datetime > tests/expr/oracle/datetime_cases.inc

  Only cases on which the reference agrees with the intended behaviour belong here. Where it differs
  (a value that rounds to zero takes the zero section; a negative value is never printed "-0.00";
  an empty negative section borrows the positive one whole; "h m" reads m as minutes; letters that
  are no pattern letter print as written; fixed notation turns to the general one when the integer
  part has more digits than the precision), the tests write the expected text by hand. }
program gen_pattern_cases;

uses SysUtils;

var
  fs: TFormatSettings;

function CQuote(const s: string): string;
var
  i: Integer;
begin
  Result := '"';
  for i := 1 to Length(s) do
    if (s[i] = '"') or (s[i] = '\') then
      Result := Result + '\' + s[i]
    else
      Result := Result + s[i];
  Result := Result + '"';
end;

function ParseValue(const literal: string): Double;
var
  dot: TFormatSettings;
begin
  dot := DefaultFormatSettings;
  dot.DecimalSeparator := '.';
  Result := StrToFloat(literal, dot);
end;

{ A row of the number table: pattern, value as a C++ literal, expected text. }
procedure N(const pattern, literal: string);
begin
  WriteLn('    {', CQuote(pattern), ', ', literal, ', ', CQuote(FormatFloat(pattern, ParseValue(literal), fs)), '}, \');
end;

{ A row of the fixed/number notation table: value, decimals, fixed text, number text. }
procedure F(const literal: string; decimals: Integer);
var
  v: Double;
begin
  v := ParseValue(literal);
  WriteLn('    {', literal, ', ', decimals, ', ', CQuote(FloatToStrF(v, ffFixed, 15, decimals, fs)), ', ',
    CQuote(FloatToStrF(v, ffNumber, 15, decimals, fs)), '}, \');
end;

procedure NumberCases;
begin
  N('0', '0.5'); N('0', '1.5'); N('0', '2.5'); N('0', '-2.5');
  N('0.00', '0.125'); N('0.00', '-0.125'); N('0.00', '1.005'); N('0.00', '2.675'); N('0.00', '1234.565');
  N('0.0', '0.05'); N('0.0', '0.15'); N('0.0', '0.25'); N('0.000', '1.0005'); N('0.00', '999.995');
  N('0.00', '0.995'); N('#', '0.5');
  N('##0.', '12345.6'); N('##0.##', '1234.5'); N('##0.##', '0.5'); N('##0.##', '-1234.567'); N('##0.', '0');
  N('##0.####', '3.14159265');
  N('#,##0.', '12345.6'); N('#,##0.##', '-1234.5'); N('#,##0.##', '1234567.891'); N('#,##0.00', '1234567.891');
  N('#,##0', '12'); N('#,##0', '-123456'); N('#,##0', '1234'); N('#,#', '1234'); N('0,0', '1234');
  N('0,000.00', '12'); N('0.00,', '1234'); N('##,##0.00', '1234567'); N('#,##0.00', '0');
  N('0000', '12'); N('0.0000', '1.23'); N('#0#', '5'); N('#0#', '12345'); N('0.0#0#', '1.5');
  N('0.0#0#', '1.23456'); N('#.0#', '0.5'); N('#.#', '0.05'); N('#.##', '0'); N('00.', '0');
  N('0.00E+00', '12345'); N('0.00E+00', '-12345'); N('0.00E-00', '0.00012345'); N('0.00E-00', '12345');
  N('0.00e+0', '12345'); N('##0.0E+0', '12345'); N('0E+0', '0'); N('0.00E+00', '0'); N('#E+0', '123');
  N('0.###E+0', '1500'); N('00.00E+0', '1234.5'); N('0E+00', '0.5'); N('0.0E+0', '-0.000123');
  N('0.0E+000', '1.5e-300'); N('0.00E+0000', '5'); N('0.00E+00', '9.995'); N('0.0000E+0', '1');
  N('"$"#,##0.00', '5'); N('"$"#,##0.00', '-5'); N('''abc''0', '5'); N('x0y', '-5'); N('0.0"E+0"', '5');
  N('0.0 "a;b" 0', '5'); N('0.0''a;b''', '5'); N('a#b#c', '123'); N('a#b#c', '5'); N('0.00a0', '1.234');
  N('0;(0)', '-5'); N('0;;zero', '-5'); N('0;;zero', '0'); N('0;', '-5'); N('0;-0;', '0'); N('0;;"z"', '0');
  N(';"neg";', '-3'); N('#,##0.00;(#,##0.00);"-"', '-1234.5');
  N('#,##0.00;(#,##0.00);"-"', '0');
  N('', '1234.5'); N('', '0'); N('', '-0.000123'); N(';;', '5'); N(';;', '-5');
  N('0', '1e15'); N('0.00', '1e16'); N('#,##0.00', '1e16'); N('0', '1e17'); N('#,##0', '1e20');
  N('#,##0', '123456789012345678.0'); N('0.00', '1e300'); N('0.00E+00', '1e300');
  N('0.0', '1234567890123456.7'); N('0.####################', '0.1'); N('0.000', '123456789012.3456');
end;

procedure FixedCases;
begin
  F('0.125', 2); F('1234567.125', 2); F('-1234567.891', 3); F('1234.5', 0); F('0.5', 0); F('-0.001', 2);
  F('1.005', 2); F('2.675', 2); F('1234.5', 2); F('0', 2); F('-0.5', 1); F('99.995', 2);
end;

{ A row of the date-time table: pattern, year, month, day, hour, minute, second, millisecond, text. }
procedure D(const pattern: string; y, mo, d, h, mi, s, ms: Word);
begin
  WriteLn('    {', CQuote(pattern), ', {', y, ', ', mo, ', ', d, ', ', h, ', ', mi, ', ', s, ', ', ms, '}, ',
    CQuote(FormatDateTime(pattern, ComposeDateTime(EncodeDate(y, mo, d), EncodeTime(h, mi, s, ms)), fs)), '}, \');
end;

procedure DateTimeCases;
begin
  D('mm.dd.yy', 1998, 11, 15, 14, 43, 35, 7); D('mm.dd.yyyy', 1998, 11, 15, 14, 43, 35, 7);
  D('d mmm yyyy', 1998, 11, 15, 14, 43, 35, 7); D('d mmmm yyyy', 1998, 11, 15, 14, 43, 35, 7);
  D('dd.mm.yyyy', 2024, 2, 29, 0, 0, 0, 0); D('d/m/yy', 2005, 3, 7, 0, 0, 0, 0); D('yyyy-mm-dd', 2005, 3, 7, 0, 0, 0, 0);
  D('hh:nn:ss', 1998, 11, 15, 14, 43, 35, 7); D('h:nn:ss', 1998, 11, 15, 2, 43, 35, 7); D('hh:nn', 1998, 11, 15, 2, 4, 5, 0);
  D('h:nn', 1998, 11, 15, 14, 43, 35, 7); D('h:mm', 1998, 11, 15, 14, 43, 35, 7); D('hh:mm:ss', 1998, 11, 15, 9, 5, 3, 0);
  D('mm:ss', 1998, 11, 15, 14, 43, 35, 7); D('m/d/yyyy h:m', 1998, 11, 15, 14, 43, 35, 7);
  D('hh:mm:ss am/pm', 1998, 11, 15, 14, 43, 35, 7); D('hh:mm:ss am/pm', 1998, 11, 15, 9, 43, 35, 7);
  D('h a/p', 1998, 11, 15, 14, 43, 35, 7); D('h A/P', 1998, 11, 15, 1, 0, 0, 0); D('h AMPM', 1998, 11, 15, 14, 43, 35, 7);
  D('h:nn ampm', 2000, 1, 1, 0, 5, 0, 0); D('h:nn ampm', 2000, 1, 1, 12, 5, 0, 0); D('AM/PM', 1998, 11, 15, 14, 43, 35, 7);
  D('Am/pM h', 1998, 11, 15, 14, 43, 35, 7); D('hh ampm hh', 1998, 11, 15, 14, 43, 35, 7);
  D('ampm h:nn:ss', 1998, 11, 15, 14, 43, 35, 7); D('h"am/pm"', 1998, 11, 15, 14, 43, 35, 7);
  D('c', 1998, 11, 15, 14, 43, 35, 7); D('c', 1998, 11, 15, 0, 0, 0, 0); D('', 1998, 11, 15, 14, 43, 35, 7);
  D('t', 1998, 11, 15, 14, 43, 35, 7); D('tt', 1998, 11, 15, 14, 43, 35, 7); D('ddddd', 1998, 11, 15, 14, 43, 35, 7);
  D('dddddd', 1998, 11, 15, 14, 43, 35, 7); D('ddd dddd', 1998, 11, 15, 14, 43, 35, 7); D('ddd dddd', 2001, 9, 1, 0, 0, 0, 0);
  D('y yy yyy yyyy', 1998, 11, 15, 14, 43, 35, 7); D('yyyy', 5, 1, 2, 0, 0, 0, 0); D('z zzz', 1998, 11, 15, 14, 43, 35, 7);
  D('h:n:s.z', 1998, 11, 15, 6, 0, 0, 0); D('"d" ''m'' d', 1998, 11, 15, 14, 43, 35, 7);
  D('HH:NN DD MMMM YYYY', 1998, 11, 15, 14, 43, 35, 7); D('mmmmm', 1998, 11, 15, 14, 43, 35, 7);
  D('mmm', 2001, 9, 1, 0, 0, 0, 0); D('h:nn mm', 1998, 11, 15, 14, 43, 35, 7); D('ss:m', 1998, 11, 15, 14, 43, 35, 7);
  D('hh:nn:ss.zzz', 1998, 11, 15, 23, 59, 59, 999); D('dd/mm/yyyy hh:nn', 1900, 1, 1, 0, 0, 0, 0);
  D('hh "o''clock"', 1998, 11, 15, 14, 43, 35, 7); D('yyyy"年"m"月"d"日"', 2010, 6, 1, 0, 0, 0, 0);
end;

begin
  fs := DefaultFormatSettings;
  fs.ShortDateFormat := 'm/d/yyyy';
  fs.LongDateFormat := 'dddd, mmmm d, yyyy';
  fs.ShortTimeFormat := 'h:nn AMPM';
  fs.LongTimeFormat := 'h:nn:ss AMPM';
  fs.DateSeparator := '/';
  fs.TimeSeparator := ':';
  fs.TimeAMString := 'AM';
  fs.TimePMString := 'PM';
  fs.DecimalSeparator := '.';
  fs.ThousandSeparator := ',';
  WriteLn('// Generated by tests/expr/oracle/gen_pattern_cases.pas; do not edit by hand.');
  if ParamStr(1) = 'number' then
  begin
    WriteLn('// {pattern, value, text} with "." and "," as decimal and thousands separators.');
    WriteLn('#define VASKEL_NUMBER_CASES_DOT \');
    NumberCases;
    WriteLn;
    fs.DecimalSeparator := ',';
    fs.ThousandSeparator := '.';
    WriteLn('// The same rows with "," and "." as decimal and thousands separators.');
    WriteLn('#define VASKEL_NUMBER_CASES_COMMA \');
    NumberCases;
    WriteLn;
    WriteLn('// {value, decimals, fixed notation, number notation} with "," and ".".');
    WriteLn('#define VASKEL_FIXED_CASES_COMMA \');
    FixedCases;
    WriteLn;
    fs.DecimalSeparator := '.';
    fs.ThousandSeparator := ',';
    WriteLn('// {value, decimals, fixed notation, number notation} with "." and ",".');
    WriteLn('#define VASKEL_FIXED_CASES_DOT \');
    FixedCases;
    WriteLn;
  end
  else
  begin
    WriteLn('// {pattern, {year, month, day, hour, minute, second, millisecond}, text}, English names.');
    WriteLn('#define VASKEL_DATETIME_CASES \');
    DateTimeCases;
    WriteLn;
  end;
end.

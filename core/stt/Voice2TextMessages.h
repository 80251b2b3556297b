#pragma once

// The texts the speech-to-text job shows in message boxes owned by the main
// window (through ShowUserMessage).
inline constexpr wchar_t kV2tMessageInternalError[] = L"程序内部错误，请重试！";   // a task reply that is not JSON
inline constexpr wchar_t kV2tMessageConvertFailed[] = L"转换失败，请联系客服或重试！";  // a "code" other than 200
inline constexpr wchar_t kV2tMessageTaskFailed[] = L"转换失败请重试！";            // a task reported failed
inline constexpr wchar_t kV2tMessageSaveFailed[] = L"错误：%d 文件保存失败，请重试！";  // the transcript cannot be written (system error code)
inline constexpr wchar_t kV2tMessageSaveFailedPlain[] = L"文件保存失败，请重试！";  // the same without a system code

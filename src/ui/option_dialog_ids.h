#pragma once
// Resource ids of the option dialogs (range 4000-4999, one hundred per dialog):
// templates, pages and controls. Plain macros, so that option_dialogs.rc reads
// them too. OK and Cancel are IDOK and IDCANCEL in every dialog.

// An up-down attached to the edit just before it in the template; plain decimal
// ("1000", not "1,000", which would not read back as a number), no wrap.
#define kSpinStyle \
  (UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS)

// Reconnect Options (TfrmKXReconnect).
#define kDlgReconnect 4000
#define kDlgReconnectConnection 4001  // TabSheet1
#define kDlgReconnectLogin 4002       // TabSheet2
#define kDlgReconnectStartup 4003     // TabSheet3
#define kRecPageControl1 4010
#define kRecChkReconnect 4011
#define kRecDelayLabel 4012
#define kRecTeDelay 4013
#define kRecUpDown2 4014
#define kRecDelayRange 4015
#define kRecRetriesLabel 4016
#define kRecTeMaxRetries 4017
#define kRecUpDown3 4018
#define kRecRetriesRange 4019
#define kRecUserLabel 4020
#define kRecTeUserName 4021
#define kRecPasswordLabel 4022
#define kRecTePassword 4023
#define kRecLblWin2000 4024
#define kRecChkDialDelay 4025
#define kRecDialDelayLabel 4026
#define kRecTeDialDelay 4027
#define kRecUpDown1 4028
#define kRecDialDelayNote 4029

// Keep-Alive Options (TfrmKXKeepAlive).
#define kDlgKeepAlive 4100
#define kDlgKeepAliveMethod 4101  // tab "Keep-Alive"
#define kDlgKeepAliveProxy 4102   // tab "Proxy"
#define kKaPageControl 4110
#define kKaRbNone 4111
#define kKaRbPing 4112
#define kKaRbWeb 4113
#define kKaHostLabel 4114
#define kKaTePHost 4115
#define kKaPingIntervalLabel 4116
#define kKaTePInterval 4117
#define kKaUpDown1 4118
#define kKaPingIntervalHint 4119
#define kKaUrlLabel 4120
#define kKaTeWebURL 4121
#define kKaWebIntervalLabel 4122
#define kKaTeWebInterval 4123
#define kKaUpDown2 4124
#define kKaWebIntervalHint 4125
#define kKaProxyHeading 4130
#define kKaProxyServerLabel 4131
#define kKaTeProxyServer 4132
#define kKaProxyPortLabel 4133
#define kKaTeProxyPort 4134
#define kKaProxyAuthNote 4135
#define kKaProxyUserLabel 4136
#define kKaTeProxyUser 4137
#define kKaProxyPasswordLabel 4138
#define kKaTeProxyPassword 4139

// DialUp Scheduler (TfrmKXSchedule).
#define kDlgSchedule 4200
#define kSchHeading 4201  // Label1: opens the maker's page
#define kSchCbSchedEnabled 4202
#define kSchDaysGroup 4203
#define kSchCbSunday 4204  // .. kSchCbSaturday: weekday numbers 1 .. 7 in order
#define kSchCbMonday 4205
#define kSchCbTuesday 4206
#define kSchCbWednesday 4207
#define kSchCbThursday 4208
#define kSchCbFriday 4209
#define kSchCbSaturday 4210
#define kSchTimeGroup 4211
#define kSchTimeNote 4212
#define kSchDtStartTime 4213
#define kSchDialGroup 4214
#define kSchDelayLabel 4215
#define kSchTeDelay 4216
#define kSchUpDown2 4217
#define kSchDelayRange 4218
#define kSchRetriesLabel 4219
#define kSchTeMaxRetries 4220
#define kSchUpDown3 4221
#define kSchRetriesRange 4222
#define kSchRetriesUnlimited 4223
#define kSchUserLabel 4224
#define kSchTeUserName 4225
#define kSchPasswordLabel 4226
#define kSchTePassword 4227

// email Settings (Tfrmemail).
#define kDlgEmail 4300
#define kEmMethodGroup 4301
#define kEmRbSMTP 4302
#define kEmSmtpNote 4303
#define kEmRbMAPI 4304
#define kEmMapiNote 4305
#define kEmMapiNote2 4311  // the note's second line
#define kEmSmtpGroup 4306  // page "SMTP" of Notebook11
#define kEmHostLabel 4307
#define kEmTeHost 4308
#define kEmHostNote 4309
#define kEmMapiGroup 4310  // page "MAPI": an empty group
#define kEmPortLabel 4312
#define kEmTePort 4313
#define kEmSecurityLabel 4314
#define kEmRbPlain 4315
#define kEmRbStartTls 4316
#define kEmRbTls 4317
#define kEmUserLabel 4318
#define kEmTeUser 4319
#define kEmPasswordLabel 4320
#define kEmTePassword 4321

// Activity Log (TfrmKXActivityLog).
#define kDlgActivityLog 4700
#define kAlChkEnabled 4701
#define kAlFileLabel 4702
#define kAlTeFile 4703
#define kAlBtnBrowse 4704
#define kAlBtnOpen 4705
#define kAlFileNote 4706
#define kAlNoticeGroup 4707
#define kAlChkNotices 4708
#define kAlChkDrop 4709
#define kAlChkRedial 4710
#define kAlChkRetries 4711
#define kAlChkStepFail 4712
#define kAlChkIpChange 4713
